// The request layer: VX_HTTP against the scripted sender, the buffers' cutting,
// and the reply splitter VX_EXPLODE over its worked examples and edge cases.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "platform/portable/test_platform.h"
#include "shared/funkcije.h"

namespace vx {
namespace {

std::string joined(int from, int to) {
    std::string s;
    for (int i = from; i <= to; ++i) s += (i > from ? "|" : "") + std::to_string(i);
    return s;
}

std::vector<std::pair<int, std::string>> numbered(int from, int to) {
    std::vector<std::pair<int, std::string>> v;
    for (int i = from; i <= to; ++i) v.push_back({i, std::to_string(i)});
    return v;
}

TEST(VxExplode, SplitsIntoFixedFields) {
    const std::string L255(255, 'L'), L300(300, 'L'), L1100(1100, 'L'), L1030(1030, 'L');
    struct Case {
        const char* name;
        std::string text, delimiter;
        std::vector<std::pair<int, std::string>> fields;  // the rest are blank
    } cases[] = {
        {"three values", "a|b|c", "|", {{1, "a"}, {2, "b"}, {3, "c"}}},
        {"no delimiter", "abc", "|", {{2, "abc"}}},
        {"delimiter first", "|x", "|", {{2, "x"}}},
        {"empty value between", "a||b", "|", {{1, "a"}, {3, "b"}}},
        {"delimiter last", "a|b|", "|", {{1, "a"}, {2, "b"}}},
        {"empty text", "", "|", {}},
        {"30 values", joined(1, 30), "|", numbered(1, 30)},
        {"31 values", joined(1, 31), "|", numbered(1, 30)},
        {"long first field", L300 + "|b", "|", {{1, L255}, {2, "b"}}},
        {"long later field", "a|" + L300 + "|c", "|", {{1, "a"}, {2, L255}, {3, "c"}}},
        {"long last field", "a|" + L1100, "|", {{1, "a"}, {2, L255}}},
        {"beyond the first 1,024", "a|" + L1030 + "|b", "|", {{1, "a"}, {2, L255}}},
        {"delimiter with trailing space", "a|b|c", "| ", {{1, "a"}, {2, "b"}, {3, "c"}}},
        {"delimiter of spaces", "a|b c", "   ", {{2, "a|b c"}}},
        {"values keep inner spaces", " x | y ", "|", {{1, " x "}, {2, " y"}}},
    };
    for (const Case& c : cases) {
        // Leftovers of an earlier split must all go, fields 31 to 35 included.
        for (int k = 0; k <= 35; ++k) GLO_EXPLODE[k] = "old";
        VX_EXPLODE(c.text, c.delimiter);
        std::vector<std::string> want(36);
        for (const auto& [k, v] : c.fields) want[k] = v;
        for (int k = 1; k <= 35; ++k)
            EXPECT_EQ(GLO_EXPLODE[k].str(), fit(want[k], 255)) << c.name << ", field " << k;
    }
}

class RequestLayer : public ::testing::Test {
protected:
    void SetUp() override {
        tp.install();
        setURL("http://registar.example/dns.php");
        setHREQUEST("");
    }
    TestPlatform tp;
};

TEST_F(RequestLayer, LengthZeroStandsFor2048AndOthersPassUnchanged) {
    const std::pair<int32_t, int32_t> cases[] = {
        {0, 2048}, {1, 1}, {50000, 50000}, {1000000, 1000000}, {-1, -1}, {INT32_MIN, INT32_MIN}};
    for (const auto& [given, handed] : cases) {
        VX_HTTP(given, 1);
        ASSERT_FALSE(tp.sender.calls.empty());
        EXPECT_EQ(tp.sender.calls.back().length, handed) << given;
        EXPECT_EQ(POSTLENGTH, handed) << given;
    }
}

TEST_F(RequestLayer, HandsTheBuffersAndTheModeUnchanged) {
    setHREQUEST("VRSTA=PRIJAVA&IME=Čedo Žic");
    for (int32_t mode : {0, 1, 7, -3}) VX_HTTP(1000000, mode);
    ASSERT_EQ(tp.sender.calls.size(), 4u);
    const int32_t modes[] = {0, 1, 7, -3};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(tp.sender.calls[i].mode, modes[i]);
        EXPECT_EQ(tp.sender.calls[i].url, "http://registar.example/dns.php");
        EXPECT_EQ(tp.sender.calls[i].body, "VRSTA=PRIJAVA&IME=Čedo Žic");
    }
}

TEST_F(RequestLayer, SilentSenderLeavesTheEmptyTextAfterALongerReply) {
    tp.sender.answers = {"1|a much longer earlier reply|with fields"};
    VX_HTTP(1000000, 0);
    EXPECT_EQ(reply(), "1|a much longer earlier reply|with fields");
    VX_HTTP(1000000, 0);  // nothing scripted: the sender writes nothing
    EXPECT_EQ(MESSA[0], 0);
    EXPECT_EQ(reply(), "");
}

TEST_F(RequestLayer, FetchAfterAPostGetsTheFileWhateverTheOldBodyHolds) {
    tp.sender.replies["http://registar.example/dns.php"] = "1|OK";
    tp.sender.replies["http://registar.example/77.txt"] = "10.0.0.7|5900   ";
    setHREQUEST("VRSTA=PRIJAVA&ID=77");
    VX_HTTP(1000000, 0);
    EXPECT_EQ(reply(), "1|OK");
    setURL("http://registar.example/77.txt");
    VX_HTTP(1000000, 1);
    EXPECT_EQ(reply(), "10.0.0.7|5900");  // read without its trailing spaces
    ASSERT_EQ(tp.sender.calls.size(), 2u);
    EXPECT_EQ(tp.sender.calls[1].url, "http://registar.example/77.txt");
    EXPECT_EQ(tp.sender.calls[1].mode, 1);
}

// A sender whose result is a null pointer or an over-long text: VX_HTTP
// uses it for nothing and must not trip over it.
class OddResultSender : public Sender {
public:
    const char* send(const char*, const char*, char* reply, int32_t, int32_t) override {
        std::strcpy(reply, "x");
        return result;
    }
    const char* result = nullptr;
};

TEST_F(RequestLayer, SendersResultIsIgnored) {
    OddResultSender odd;
    platform().sender = &odd;
    VX_HTTP(0, 1);
    EXPECT_EQ(reply(), "x");
    static const std::string longText(500, 'r');
    odd.result = longText.c_str();
    VX_HTTP(0, 1);
    EXPECT_EQ(reply(), "x");
    platform().sender = &tp.sender;
}

TEST(RequestBuffers, AssignmentKeepsWhatFits) {
    struct Case {
        void (*set)(std::string_view);
        const char* buffer;
        std::size_t keep;
    } cases[] = {{setURL, URL, 254}, {setHREQUEST, HREQUEST, 63999}};
    for (const Case& c : cases) {
        for (std::size_t given : {std::size_t(0), c.keep - 1, c.keep, c.keep + 1, c.keep * 2}) {
            std::string text(given, 'q');
            if (given) text[0] = 'A';
            c.set(text);
            std::size_t kept = given < c.keep ? given : c.keep;
            EXPECT_EQ(strnlen(c.buffer, c.keep + 1), kept) << given;
            EXPECT_EQ(std::string(c.buffer), text.substr(0, kept)) << given;
        }
    }
}

}  // namespace
}  // namespace vx
