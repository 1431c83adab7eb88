// The HTTP sender of Trevasol.dll against a small scripted HTTP server on
// 127.0.0.1: methods, bodies byte for byte, cutting, refusal, a silent server,
// and that abandoned requests leave no thread and no connection behind.
#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/win32/win32_platform.h"
#include "shared/funkcije.h"
#include "trevasol/saljihttp.h"

namespace {

struct Winsock {
    Winsock() {
        WSADATA data;
        WSAStartup(MAKEWORD(2, 2), &data);
    }
    ~Winsock() { WSACleanup(); }
};

class Socket {
public:
    explicit Socket(SOCKET s = INVALID_SOCKET) : s_(s) {}
    ~Socket() {
        if (s_ != INVALID_SOCKET) closesocket(s_);
    }
    Socket(const Socket&) = delete;
    Socket& operator=(const Socket&) = delete;
    SOCKET get() const { return s_; }

private:
    SOCKET s_;
};

// A socket bound to a free port of 127.0.0.1; listening when asked.
SOCKET bindLoopback(bool listening, int& port) {
    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = 0;
    bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a);
    if (listening) listen(s, 4);
    int len = sizeof a;
    getsockname(s, reinterpret_cast<sockaddr*>(&a), &len);
    port = ntohs(a.sin_port);
    return s;
}

// True when the socket has data (or a new connection) within ms.
bool readable(SOCKET s, int ms) {
    fd_set set;
    FD_ZERO(&set);
    FD_SET(s, &set);
    timeval tv{ms / 1000, (ms % 1000) * 1000};
    return select(0, &set, nullptr, nullptr, &tv) > 0;
}

// Answers each connection with one scripted reply; a silent server accepts
// and holds the connection without a word until release() (or the end).
class TestServer {
public:
    struct Seen {
        std::string method, path, head, body;
    };

    TestServer(std::string reply, bool silent = false)
        : reply_(std::move(reply)), silent_(silent), listener_(bindLoopback(true, port_)) {
        thread_ = std::thread([this] { run(); });
    }
    ~TestServer() {
        stop_ = true;
        thread_.join();
    }
    std::string url(const std::string& path) const {
        return "http://127.0.0.1:" + std::to_string(port_) + path;
    }
    int port() const { return port_; }
    void release() { released_ = true; }
    bool answered() const { return answered_; }
    std::vector<Seen> seen() {
        std::lock_guard<std::mutex> l(mutex_);
        return seen_;
    }

    static std::string ok(const std::string& body, const char* status = "200 OK") {
        return std::string("HTTP/1.1 ") + status + "\r\nContent-Type: text/plain\r\nContent-Length: " +
               std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n" + body;
    }

private:
    void run() {
        while (!stop_) {
            if (!readable(listener_.get(), 50)) continue;
            Socket c(accept(listener_.get(), nullptr, nullptr));
            if (c.get() == INVALID_SOCKET) continue;
            Seen s;
            if (!readRequest(c.get(), s)) continue;
            {
                std::lock_guard<std::mutex> l(mutex_);
                seen_.push_back(s);
            }
            while (silent_ && !released_ && !stop_) Sleep(20);
            if (stop_) return;
            send(c.get(), reply_.data(), static_cast<int>(reply_.size()), 0);
            shutdown(c.get(), SD_SEND);
            answered_ = true;
        }
    }

    static bool readRequest(SOCKET c, Seen& s) {
        std::string data;
        char buf[4096];
        std::size_t headEnd;
        while ((headEnd = data.find("\r\n\r\n")) == std::string::npos) {
            if (!readable(c, 5000)) return false;
            int n = recv(c, buf, sizeof buf, 0);
            if (n <= 0) return false;
            data.append(buf, n);
        }
        s.head = data.substr(0, headEnd + 2);
        std::size_t sp = s.head.find(' ');
        s.method = s.head.substr(0, sp);
        s.path = s.head.substr(sp + 1, s.head.find(' ', sp + 1) - sp - 1);
        std::size_t want = 0;
        std::string lower = s.head;
        for (char& ch : lower) ch = static_cast<char>(tolower(static_cast<unsigned char>(ch)));
        std::size_t cl = lower.find("\r\ncontent-length:");
        if (cl != std::string::npos) want = std::strtoul(s.head.c_str() + cl + 17, nullptr, 10);
        s.body = data.substr(headEnd + 4);
        while (s.body.size() < want) {
            if (!readable(c, 5000)) return false;
            int n = recv(c, buf, sizeof buf, 0);
            if (n <= 0) return false;
            s.body.append(buf, n);
        }
        return true;
    }

    std::string reply_;
    bool silent_;
    int port_ = 0;
    Socket listener_;
    std::atomic<bool> stop_{false}, released_{false}, answered_{false};
    std::mutex mutex_;
    std::vector<Seen> seen_;
    std::thread thread_;
};

// A hung web server: accepts every connection, reads what comes and never
// answers; counts the connections the client has not closed yet.
class HoldingServer {
public:
    HoldingServer() : listener_(bindLoopback(true, port_)) {
        thread_ = std::thread([this] { run(); });
    }
    ~HoldingServer() {
        stop_ = true;
        thread_.join();
        for (SOCKET c : open_) closesocket(c);
    }
    std::string url(const std::string& path) const {
        return "http://127.0.0.1:" + std::to_string(port_) + path;
    }
    int accepted() const { return accepted_; }
    int stillOpen() const { return stillOpen_; }

private:
    void run() {
        while (!stop_) {
            fd_set set;
            FD_ZERO(&set);
            FD_SET(listener_.get(), &set);
            for (SOCKET c : open_) FD_SET(c, &set);
            timeval tv{0, 50000};
            if (select(0, &set, nullptr, nullptr, &tv) <= 0) continue;
            for (std::size_t i = 0; i < open_.size();) {
                char buf[4096];
                if (FD_ISSET(open_[i], &set) && recv(open_[i], buf, sizeof buf, 0) <= 0) {
                    closesocket(open_[i]);  // the client closed it (EOF or reset)
                    open_.erase(open_.begin() + i);
                    continue;
                }
                ++i;
            }
            if (FD_ISSET(listener_.get(), &set)) {
                SOCKET c = accept(listener_.get(), nullptr, nullptr);
                if (c != INVALID_SOCKET) {
                    open_.push_back(c);
                    ++accepted_;
                }
            }
            stillOpen_ = static_cast<int>(open_.size());
        }
    }

    int port_ = 0;
    Socket listener_;
    std::vector<SOCKET> open_;
    std::atomic<bool> stop_{false};
    std::atomic<int> accepted_{0}, stillOpen_{0};
    std::thread thread_;
};

int threadsOfThisProcess() {
    HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    THREADENTRY32 e{};
    e.dwSize = sizeof e;
    int n = 0;
    for (BOOL more = Thread32First(snap, &e); more; more = Thread32Next(snap, &e))
        if (e.th32OwnerProcessID == GetCurrentProcessId()) ++n;
    CloseHandle(snap);
    return n;
}

std::string header(const std::string& head, const std::string& name) {
    std::string lowerHead = head, lowerName = name;
    for (char& c : lowerHead) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    for (char& c : lowerName) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    std::size_t at = lowerHead.find("\r\n" + lowerName + ":");
    if (at == std::string::npos) return "";
    std::size_t from = at + 3 + name.size();
    while (from < head.size() && head[from] == ' ') ++from;
    return head.substr(from, head.find("\r\n", from) - from);
}

double secondsSince(std::chrono::steady_clock::time_point t) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t).count();
}

Winsock winsock;

TEST(Saljihttp, FetchesAFileWithGetWhateverTheBodyHolds) {
    // Windows-1250 reply bytes and a '|'-separated record come back untouched.
    const std::string file = "1|Zagreb|čćžšđ|\r\n";
    TestServer server(TestServer::ok(file));
    std::vector<char> reply(2048, '#');
    const char* status = saljihttp(server.url("/dir/ZEDOVORIDI.txt").c_str(), "stale=body&x=1",
                                   reply.data(), 2048, 1);
    EXPECT_STREQ(status, "OK");
    EXPECT_EQ(std::string(reply.data()), file);
    auto seen = server.seen();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].method, "GET");
    EXPECT_EQ(seen[0].path, "/dir/ZEDOVORIDI.txt");
    EXPECT_EQ(seen[0].body, "");
}

TEST(Saljihttp, UrlBytesOutsideAsciiArriveAsTheirOwnByteValues) {
    // A query with a Windows-1250 letter and trailing spaces that are not part
    // of the address; the server decodes %E8 back to the same single byte.
    TestServer server(TestServer::ok("x"));
    char reply[64];
    std::string url = server.url("/a.txt?ime=č&b=1") + "   ";
    EXPECT_STREQ(saljihttp(url.c_str(), "", reply, sizeof reply, 1), "OK");
    auto seen = server.seen();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].path, "/a.txt?ime=%E8&b=1");
}

TEST(Saljihttp, PostsTheBodyByteForByteAsAForm) {
    const std::string body = "VRSTA=INSTALL&IME=Ivan Čačić & sin&GRAD=Požega&X=a+b%20c";
    TestServer server(TestServer::ok("1|OK"));
    char reply[2048];
    EXPECT_STREQ(saljihttp(server.url("/dns.php").c_str(), body.c_str(), reply, sizeof reply, 0),
                 "OK");
    EXPECT_STREQ(reply, "1|OK");
    auto seen = server.seen();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].method, "POST");
    EXPECT_EQ(seen[0].path, "/dns.php");
    EXPECT_EQ(seen[0].body, body);
    EXPECT_EQ(header(seen[0].head, "Content-Type"), "application/x-www-form-urlencoded");
    EXPECT_EQ(header(seen[0].head, "Content-Length"), std::to_string(body.size()));
}

TEST(Saljihttp, ErrorPageIsStillTheReply) {
    TestServer server(TestServer::ok("nema", "404 Not Found"));
    char reply[64] = "old";
    EXPECT_STREQ(saljihttp(server.url("/x.txt").c_str(), "", reply, sizeof reply, 1), "ERR status");
    EXPECT_STREQ(reply, "nema");
}

TEST(Saljihttp, LongReplyIsCutToTheLengthWithItsZero) {
    TestServer server(TestServer::ok(std::string(5000, 'x')));
    std::vector<char> reply(200, '#');
    EXPECT_STREQ(saljihttp(server.url("/big.txt").c_str(), "", reply.data(), 100, 1), "OK");
    EXPECT_EQ(std::strlen(reply.data()), 99u);
    EXPECT_EQ(std::string(reply.data() + 100, 100), std::string(100, '#'))
        << "wrote past the length";
}

TEST(Saljihttp, NothingIsWrittenWithoutRoom) {
    TestServer server(TestServer::ok("reply"));
    char reply[8] = "#######";
    saljihttp(server.url("/a.txt").c_str(), "", reply, 0, 1);
    EXPECT_STREQ(reply, "#######");
    saljihttp(server.url("/a.txt").c_str(), "", reply, -5, 1);
    EXPECT_STREQ(reply, "#######");
    EXPECT_STREQ(saljihttp(server.url("/a.txt").c_str(), "", nullptr, 100, 1), "OK");
    EXPECT_STREQ(saljihttp(server.url("/a.txt").c_str(), "", reply, 1, 1), "OK");
    EXPECT_EQ(reply[0], 0);
    EXPECT_EQ(reply[1], '#');
}

TEST(Saljihttp, BadInputLeavesTheReplyEmpty) {
    struct Case {
        const char* url;
        int32_t mode;
        const char* status;
    } cases[] = {
        {"http://127.0.0.1:1/a.txt", 7, "ERR mode"},
        {"nije adresa", 1, "ERR url"},
        {"ftp://127.0.0.1/a.txt", 1, "ERR url"},
        {"", 0, "ERR url"},
    };
    for (const Case& c : cases) {
        char reply[16] = "old";
        EXPECT_STREQ(saljihttp(c.url, "", reply, sizeof reply, c.mode), c.status) << c.url;
        EXPECT_STREQ(reply, "") << c.url;
    }
}

TEST(Saljihttp, RefusedConnectionReturnsAtOnceWithAnEmptyReply) {
    int port = 0;
    Socket closed(bindLoopback(false, port));  // bound, nobody listening
    char reply[64] = "old reply";
    auto start = std::chrono::steady_clock::now();
    const char* status = saljihttp(("http://127.0.0.1:" + std::to_string(port) + "/a.txt").c_str(),
                                   "", reply, sizeof reply, 1);
    double took = secondsSince(start);
    std::printf("refused after %.2f s (%s)\n", took, status);
    EXPECT_LT(took, 5.0) << "no wait for the deadline";
    EXPECT_STREQ(reply, "");
    EXPECT_STRNE(status, "OK");
}

TEST(Saljihttp, SilentServerIsAbandonedAtTheDeadline) {
    TestServer server(TestServer::ok("LATE ANSWER"), /*silent=*/true);
    std::vector<char> reply(256, '#');
    auto start = std::chrono::steady_clock::now();
    const char* status = saljihttp(server.url("/dns.php").c_str(), "a=1", reply.data(), 256, 0);
    double took = secondsSince(start);
    std::printf("silent server: returned after %.2f s (%s)\n", took, status);
    EXPECT_LE(took, 20.0) << "abandoned at the deadline, not at Wine's own time-outs";
    EXPECT_STREQ(reply.data(), "");
    EXPECT_STRNE(status, "OK");

    // The abandoned worker now gets its answer; the caller's buffer, already
    // handed back, must stay as the caller leaves it.
    std::memset(reply.data(), 'Z', reply.size());
    server.release();
    for (int i = 0; i < 100 && !server.answered(); ++i) Sleep(20);
    Sleep(1500);
    EXPECT_EQ(std::string(reply.data(), reply.size()), std::string(reply.size(), 'Z'));
}

TEST(Saljihttp, AbandonedRequestsLeaveNoThreadAndNoConnectionBehind) {
    // As a reporter meets a hung registry: round after round of requests, a
    // few at once, each abandoned at the deadline. Whatever the server keeps
    // holding, each request's worker and connection must be gone soon after.
    HoldingServer server;
    {
        // Let WinHTTP set up whatever it keeps for the whole process first.
        TestServer warm(TestServer::ok("x"));
        char reply[8];
        saljihttp(warm.url("/a.txt").c_str(), "", reply, sizeof reply, 1);
    }
    Sleep(500);
    const int threadsBefore = threadsOfThisProcess();
    const int kRounds = 2, kAtOnce = 3;
    for (int round = 0; round < kRounds; ++round) {
        std::vector<std::thread> callers;
        for (int i = 0; i < kAtOnce; ++i)
            callers.emplace_back([&server, i] {
                std::vector<char> reply(64, '#');
                const char* status = saljihttp(server.url("/dns.php").c_str(), "VRSTA=PRIJAVA",
                                               reply.data(), 64, i % 2);
                EXPECT_STRNE(status, "OK");
                EXPECT_STREQ(reply.data(), "");
            });
        for (std::thread& t : callers) t.join();
    }
    EXPECT_EQ(server.accepted(), kRounds * kAtOnce);

    // A few seconds after the last deadline: back where it started.
    int threads = 0, open = 0;
    for (int i = 0; i < 40; ++i) {
        threads = threadsOfThisProcess();
        open = server.stillOpen();
        if (threads <= threadsBefore && open == 0) break;
        Sleep(100);
    }
    std::printf("threads %d before, %d after; %d of %d connections still open\n", threadsBefore,
                threads, open, server.accepted());
    EXPECT_LE(threads, threadsBefore) << "workers still blocked";
    EXPECT_EQ(open, 0) << "connections still held";
}

TEST(Saljihttp, RequestLayerFetchesAfterAPostWithTheOldBodyStillThere) {
    // VX_HTTP through the imported sender, as the programs call it.
    vx::installWin32Platform();
    TestServer script(TestServer::ok("1|prijava"));
    TestServer files(TestServer::ok("10.0.0.7|5900"));
    vx::setURL(script.url("/dns.php"));
    vx::setHREQUEST("VRSTA=PRIJAVA&ID=77");
    vx::VX_HTTP(1000000, 0);
    EXPECT_EQ(vx::reply(), "1|prijava");
    vx::setURL(files.url("/77.txt"));
    vx::VX_HTTP(1000000, 1);
    EXPECT_EQ(vx::reply(), "10.0.0.7|5900");
    ASSERT_EQ(files.seen().size(), 1u);
    EXPECT_EQ(files.seen()[0].method, "GET");
    EXPECT_EQ(script.seen()[0].body, "VRSTA=PRIJAVA&ID=77");
}

}  // namespace
