// The reporter's windows on the headless toolkit: the settings window's
// registration outcomes, its save and help page; the status window's
// countdown and its check on demand; the history and about windows.
#include "reporter_fixture.h"

#include "base/clock.h"
#include "shared/vxwebupute.h"

namespace {

using zilvara::GLO;
constexpr const char* kWindow = "Pregled..";

std::vector<std::string> texts(const std::vector<ui::MessageSpec>& messages) {
    std::vector<std::string> out;
    for (auto& m : messages) out.push_back(m.text);
    return out;
}

TEST_F(ReporterTest, RegistrationNeedsNameAndGroup) {
    struct Case {
        const char *naziv, *grupa;
        std::vector<std::string> messages;
    } cases[] = {
        {"", "", {"Mora se unjeti naziv IP servera |Na primjer : XYIPServer",
                  "Mora se unjeti naziv grupe | Na primjer:VXSERVERI "}},
        {"SRV", "", {"Mora se unjeti naziv grupe | Na primjer:VXSERVERI "}},
        {"", "GRP", {"Mora se unjeti naziv IP servera |Na primjer : XYIPServer"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.naziv) + "/" + c.grupa);
        kit.messages.clear();
        GLO.NAZIVSERVERA = c.naziv;
        GLO.GRUPA = c.grupa;
        GLO.IDIPSERVERA = "5";
        kit.onWindow(kWindow, [](ui::HeadlessWindow& w) { w.click(5); });
        kit.onWindow(kWindow, [](ui::HeadlessWindow& w) { w.closeBox(); });
        zilvara::PODESAVANJE();
        EXPECT_EQ(texts(kit.messages), c.messages);
        EXPECT_TRUE(tp.sender.calls.empty());
        EXPECT_EQ(GLO.IDIPSERVERA.clip(), "5");
    }
    // Called directly with a blank field, the registration sends nothing either.
    GLO.GRUPA = "";
    GLO.NAZIVSERVERA = "SRV";
    EXPECT_EQ(zilvara::PRVAREGISTRACIJANAWEB("SRV", ""), 0);
    EXPECT_TRUE(tp.sender.calls.empty());
}

TEST_F(ReporterTest, RegistrationOutcomes) {
    struct Case {
        const char* name;
        std::string reply, message, idAfter;
    } cases[] = {
        {"End with an ID", "x|77|y|End", "ID=77|Spremite podešavanje", "77"},
        {"End and more, after spaces", "x| 78 |y|  Endless", "ID=78|Spremite podešavanje", "78"},
        {"End with an ID that is no number", "x|abc|y|End", "ID=0|Spremite podešavanje", "5"},
        {"the console's status", "x|77|y|REG|12", "Ime postoji u evidenciji...", "5"},
        {"empty reply", "", "Ime postoji u evidenciji...", "5"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        kit.messages.clear();
        tp.sender.calls.clear();
        std::remove((dir + "/" + kIni).c_str());
        server("5");
        tp.sender.replies["http://reg.example/dns/dns.php"] = c.reply;
        tp.clock.set({2026, 3, 4, 9, 8, 7, 6});
        std::string shown;
        kit.onWindow(kWindow, [](ui::HeadlessWindow& w) { w.click(5); });
        kit.onWindow(kWindow, [&](ui::HeadlessWindow& w) {
            shown = w.shown(9);
            w.closeBox();
        });
        zilvara::PODESAVANJE();
        ASSERT_EQ(tp.sender.calls.size(), 1u);
        EXPECT_EQ(tp.sender.calls[0].url, "http://reg.example/dns/dns.php");
        EXPECT_EQ(tp.sender.calls[0].body,
                  "id_user=99999&zahtjev1=INSTALL&zahtjev2=SRV1&zahtjev3=GRP&zahtjev4=" +
                      vx::num(((9 * 60 + 8) * 60 + 7) * 100 + 6 + 1));
        EXPECT_EQ(tp.sender.calls[0].length, 1000000);
        EXPECT_EQ(tp.sender.calls[0].mode, 0);
        EXPECT_EQ(texts(kit.messages), std::vector<std::string>{c.message});
        EXPECT_EQ(GLO.IDIPSERVERA.clip(), c.idAfter);
        EXPECT_EQ(shown, c.idAfter);  // shown at once
        EXPECT_EQ(readIni(), "");     // saved only by "Spremi podatke"
    }
}

TEST_F(ReporterTest, SaveWritesTheSixKeysAndCloses) {
    GLO.NAZIVSERVERA = "SRV1";
    GLO.GRUPA = "GRP";
    GLO.WEBADRESA = "http://reg.example/dns/";
    std::string interval;
    kit.onWindow(kWindow, [&](ui::HeadlessWindow& w) {
        w.type(11, "5");
        w.click(14);  // completes the interval, ticks the box
    });
    kit.onWindow(kWindow, [&](ui::HeadlessWindow& w) {
        w.display(11, 11);
        interval = w.shown(11);
        w.click(15);
    });
    zilvara::PODESAVANJE();
    EXPECT_EQ(interval, "0005");
    EXPECT_EQ(texts(kit.messages), std::vector<std::string>{"Spremljeno"});
    EXPECT_EQ(kit.unanswered, 0);  // closed by the save, not by the script running out
    EXPECT_EQ(readIni(),
              "[DARiriza]\r\nGlo:Vrijeme=5\r\nGlo:IDIPServera=\r\nGlo:NazivServera=SRV1\r\n"
              "Glo:Grupa=GRP\r\nGlo:WebAdresa=http://reg.example/dns/\r\nGlo:RadiLogDatoteku=1\r\n");
    // The blank ID reads back blank, so the next start shows its message.
    GLO = zilvara::Global{};
    zilvara::loadSettings();
    EXPECT_TRUE(GLO.IDIPSERVERA.blank());
    EXPECT_EQ(GLO.VRIJEME, 5);
    EXPECT_EQ(GLO.RADILOGDATOTEKU, 1u);
}

TEST_F(ReporterTest, SettingsHelpButtonOpensTheHelpPage) {
    kit.onWindow(kWindow, [](ui::HeadlessWindow& w) { w.click(2); });
    kit.onWindow("", [](ui::HeadlessWindow& w) { w.closeBox(); });  // the instructions window
    kit.onWindow(kWindow, [](ui::HeadlessWindow& w) { w.closeBox(); });
    zilvara::PODESAVANJE();
    EXPECT_EQ(vx::GL_URL_HLP.clip(), "http://localhost/help/Zilvara_Podesavanje.html");
    EXPECT_EQ(kit.opened.size(), 2u);
}

TEST_F(ReporterTest, StatusCountsDownAndChecksOnDemand) {
    server("0042", 5);
    tp.clock.set({2026, 3, 4, 23, 58, 0, 0});
    tp.sender.replies["http://reg.example/dns/42.txt"] = record("10.1.1.1");
    zilvara::PRIJAVA();  // the main thread's check at 23:58:00
    struct Shown {
        std::string address, last, left;
    };
    std::vector<Shown> seen;
    auto note = [&](ui::HeadlessWindow& w) { seen.push_back({w.shown(4), w.shown(6), w.shown(8)}); };
    kit.onWindow(kWindow, [&](ui::HeadlessWindow& w) {
        note(w);
        tp.clock.advance(1000);
        w.tick();
    });
    kit.onWindow(kWindow, [&](ui::HeadlessWindow& w) {
        note(w);
        tp.clock.advance(3 * 60 * 1000);  // past midnight: 2 minutes less a second to go
        w.tick();
    });
    kit.onWindow(kWindow, [&](ui::HeadlessWindow& w) {
        note(w);
        tp.clock.advance(10 * 60 * 1000);  // overdue
        w.tick();
    });
    kit.onWindow(kWindow, [&](ui::HeadlessWindow& w) {
        note(w);
        EXPECT_EQ(GLO.PRESTALOVRIJEME, 0u);
        tp.sender.replies["http://reg.example/dns/42.txt"] = record("10.2.2.2");
        w.click(10);
    });
    kit.onWindow(kWindow, [&](ui::HeadlessWindow& w) {
        note(w);
        w.click(9);
    });
    zilvara::STATUS();
    ASSERT_EQ(seen.size(), 5u);
    EXPECT_EQ(seen[0].address, "10.1.1.1");
    EXPECT_EQ(seen[0].last, "23:58:00");
    EXPECT_EQ(seen[0].left, "0:04:59");
    EXPECT_EQ(seen[1].left, "0:04:58");
    EXPECT_EQ(seen[2].left, "0:01:58");
    EXPECT_EQ(seen[3].left, "0:00:00");
    // "Obnovi": a new check on this thread, "OK", the new values at once.
    EXPECT_EQ(checks(), 2);
    EXPECT_EQ(texts(kit.messages), std::vector<std::string>{"OK"});
    EXPECT_EQ(seen[4].address, "10.2.2.2");
    EXPECT_EQ(seen[4].last, "0:11:01");
    EXPECT_EQ(seen[4].left, "0:04:59");
    EXPECT_EQ(kit.unanswered, 0);
}

// Before the server has an ID nothing is left to wait for, and "Obnovi"
// sends nothing (a check would sign in as 0 and show record 0's address).
TEST_F(ReporterTest, StatusWithoutServerIdChecksNothing) {
    for (const char* id : {"", "abc", "0"}) {
        SCOPED_TRACE(id);
        kit.messages.clear();
        server(id);
        GLO.IPADRESA = "10.3.3.3";
        std::string left;
        kit.onWindow(kWindow, [&](ui::HeadlessWindow& w) {
            left = w.shown(8);
            w.click(10);
        });
        kit.onWindow(kWindow, [&](ui::HeadlessWindow& w) { w.click(9); });
        zilvara::STATUS();
        EXPECT_EQ(left, "0:00:00");
        EXPECT_TRUE(tp.sender.calls.empty());
        EXPECT_EQ(texts(kit.messages), std::vector<std::string>{"OK"});
        EXPECT_EQ(GLO.IPADRESA.clip(), "10.3.3.3");
        EXPECT_EQ(GLO.ZADNJAKONTROLA, 0);
    }
    EXPECT_EQ(kit.unanswered, 0);
}

// The time left of intervals of a day or more keeps its whole days in front
// instead of wrapping to a small time of day.
TEST_F(ReporterTest, StatusTimeLeftOfLongIntervals) {
    constexpr uint64_t kMinute = 60 * 1000;
    struct Case {
        int16_t minutes;
        uint64_t elapsedMs;
        const char* left;
        uint32_t stored;  // GLO:PRESTALOVRIJEME, hundredths
    } cases[] = {
        {5, 0, "0:04:59", 30000},
        {1440, 0, "23:59:59", 8640000},
        {1440, 1000, "23:59:58", 8639900},
        {1441, 0, "1 d 0:00:59", 8646000},
        {2000, 0, "1 d 9:19:59", 12000000},
        {2000, 1999 * kMinute, "0:00:59", 6000},
        {32767, 0, "22 d 18:06:59", 196602000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.minutes) + " min, " + std::to_string(c.elapsedMs) + " ms");
        tp.sender.calls.clear();
        server("0042", c.minutes);
        zilvara::PRIJAVA();
        tp.clock.advance(c.elapsedMs);
        std::string left;
        uint32_t stored = 0;
        kit.onWindow(kWindow, [&](ui::HeadlessWindow& w) { w.tick(); });
        kit.onWindow(kWindow, [&](ui::HeadlessWindow& w) {
            left = w.shown(8);
            stored = GLO.PRESTALOVRIJEME;
            w.click(9);
        });
        zilvara::STATUS();
        EXPECT_EQ(left, c.left);
        EXPECT_EQ(stored, c.stored);
    }
}

TEST_F(ReporterTest, HistoryStartsTheViewerWithOneSpace) {
    tp.system.cwd = "C:\\Program Files\\VX";  // unquoted, as given
    kit.onWindow(kWindow, [](ui::HeadlessWindow& w) { w.click(5); });
    kit.onWindow(kWindow, [](ui::HeadlessWindow& w) { w.click(5); });  // the window stays open
    kit.onWindow(kWindow, [](ui::HeadlessWindow& w) { w.click(4); });
    tp.processes.failing["Write.exe"] = "not found";  // and a failed start shows nothing
    zilvara::POVIJEST();
    const std::string line = "Write.exe C:\\Program Files\\VX\\Evidencija_spajanja.log";
    EXPECT_EQ(tp.processes.started, (std::vector<std::string>{line, line}));
    EXPECT_TRUE(kit.messages.empty());
    EXPECT_EQ(kit.unanswered, 0);
}

TEST_F(ReporterTest, AboutWindowClosesOnItsButton) {
    std::string text;
    kit.onWindow(kWindow, [&](ui::HeadlessWindow& w) {
        text = w.shown(3);
        w.click(5);
    });
    zilvara::OPROGRAMU();
    EXPECT_EQ(text, "Aplikacija  daje informaciju o Vašj IP adresi na Webu");
    EXPECT_EQ(kit.unanswered, 0);
}

}  // namespace
