// The embedded web browser under Wine, alone in a plain window and inside the
// web-instructions window: its navigations reach a small HTTP server of our own.
#include "../common/own_window.h"
#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "shared/vxwebupute.h"
#include "ui/win32/browser_host.h"
#include "ui/win32/win32_toolkit.h"

namespace {

// Answers every request on 127.0.0.1 with a small page and records its
// request line ("GET /path HTTP/1.1").
class PageServer {
public:
    PageServer() {
        WSADATA wsa;
        WSAStartup(MAKEWORD(2, 2), &wsa);
        listener_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bind(listener_, reinterpret_cast<sockaddr*>(&a), sizeof a);
        listen(listener_, 8);
        int len = sizeof a;
        getsockname(listener_, reinterpret_cast<sockaddr*>(&a), &len);
        port_ = ntohs(a.sin_port);
        thread_ = std::thread([this] { serve(); });
    }
    ~PageServer() {
        stopping_ = true;
        closesocket(listener_);  // unblocks accept()
        thread_.join();
        WSACleanup();
    }
    std::string base() const { return "http://127.0.0.1:" + std::to_string(port_); }
    std::vector<std::string> requests() {
        std::lock_guard<std::mutex> l(mutex_);
        return requests_;
    }

private:
    void serve() {
        while (!stopping_) {
            SOCKET s = accept(listener_, nullptr, nullptr);
            if (s == INVALID_SOCKET) return;
            std::string in;
            char buf[2048];
            while (in.find("\r\n\r\n") == std::string::npos) {
                int n = recv(s, buf, sizeof buf, 0);
                if (n <= 0) break;
                in.append(buf, std::size_t(n));
            }
            if (!in.empty()) {
                std::lock_guard<std::mutex> l(mutex_);
                requests_.push_back(in.substr(0, in.find("\r\n")));
            }
            static const char reply[] =
                "HTTP/1.0 200 OK\r\nContent-Type: text/html\r\nContent-Length: 38\r\nConnection: close\r\n\r\n"
                "<html><body>Upute za rad</body></html>";
            send(s, reply, int(sizeof reply - 1), 0);
            shutdown(s, SD_SEND);
            closesocket(s);
        }
    }

    SOCKET listener_ = INVALID_SOCKET;
    int port_ = 0;
    std::atomic<bool> stopping_{false};
    std::thread thread_;
    std::mutex mutex_;
    std::vector<std::string> requests_;
};

// Pumps this thread's messages until done() holds or the time is up.
bool pumpUntil(const std::function<bool()>& done, int ms = 15000) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        MSG m;
        while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&m);
            DispatchMessageW(&m);
        }
        Sleep(10);
    }
    return true;
}

bool sawRequestFor(PageServer& server, const std::string& path) {
    for (const std::string& r : server.requests())
        if (r.rfind("GET " + path + " ", 0) == 0) return true;
    return false;
}

// A plain top-level window to host the browser in.
struct HostWindow {
    HostWindow() {
        hwnd = CreateWindowExW(0, L"STATIC", L"browser host", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_VISIBLE,
                               20, 20, 640, 480, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    }
    ~HostWindow() { DestroyWindow(hwnd); }
    HWND hwnd;
};

// The browser's own child window inside the host, if it made one.
HWND browserChild(HWND parent) { return GetWindow(parent, GW_CHILD); }

TEST(BrowserHost, NavigationsReachTheServer) {
    PageServer server;
    HostWindow host;
    ASSERT_NE(host.hwnd, nullptr);
    RECT rc{0, 30, 640, 400};
    auto browser = ui::win32::createBrowserHost(host.hwnd, rc, "Shell.Explorer.2");
    ASSERT_NE(browser, nullptr);
    EXPECT_NE(browserChild(host.hwnd), nullptr) << "in-place activation made no window";

    browser->navigate(server.base() + "/prikazuputa.php?ID=17&JEZIK=HR", 14);
    EXPECT_TRUE(pumpUntil([&] { return sawRequestFor(server, "/prikazuputa.php?ID=17&JEZIK=HR"); }));

    browser->navigate(server.base() + "/druga.html", 14);
    EXPECT_TRUE(pumpUntil([&] { return sawRequestFor(server, "/druga.html"); }));

    // Commands the control cannot carry out are ignored, not fatal.
    for (const char* c : {"GoBack", "GoForward", "GoHome", "GoSearch", "NoSuchMethod"}) browser->command(c);
    RECT smaller{0, 30, 320, 200};
    browser->resize(smaller);
    pumpUntil([] { return false; }, 200);
    browser.reset();
    pumpUntil([] { return false; }, 100);
}

TEST(BrowserHost, CreationFailsCleanly) {
    HostWindow host;
    RECT rc{0, 0, 100, 100};
    EXPECT_EQ(ui::win32::createBrowserHost(host.hwnd, rc, "No.Such.Control.1"), nullptr);
    EXPECT_EQ(ui::win32::createBrowserHost(nullptr, rc, "Shell.Explorer.2"), nullptr);
    EXPECT_EQ(browserChild(host.hwnd), nullptr);
}

TEST(BrowserHost, TwoBrowsersOneAfterTheOther) {
    // Each window of the program makes and destroys its own browser on the same thread.
    PageServer server;
    for (int i = 1; i <= 2; ++i) {
        HostWindow host;
        RECT rc{0, 0, 400, 300};
        auto browser = ui::win32::createBrowserHost(host.hwnd, rc, "Shell.Explorer.2");
        ASSERT_NE(browser, nullptr) << "browser " << i;
        std::string path = "/upute" + std::to_string(i) + ".html";
        browser->navigate(server.base() + path, 14);
        EXPECT_TRUE(pumpUntil([&] { return sawRequestFor(server, path); })) << path;
    }
}

// The visible top-level window of this process with that title.
HWND findOwnWindow(const wchar_t* title) { return vx::testing::findOwnWindow(nullptr, title); }

// Waits (without pumping: the window lives on its own thread) for done().
bool waitUntil(const std::function<bool()>& done, int ms = 15000) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        Sleep(20);
    }
    return true;
}

std::wstring controlText(HWND window, int id) {
    wchar_t text[512] = {};
    SendMessageW(GetDlgItem(window, id), WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text));
    return text;
}

// Each case opens the window on a new, short-lived thread: this also proves
// that a thread's OLE apartment is undone when it ends (left alive, Wine's
// browser control crashed on a later thread).
TEST(WebInstructionsWindow, OpensLoadsTheAddressAndClosesEveryWay) {
    ui::win32::installWin32Toolkit();
    PageServer server;
    struct Case {
        const char* how;
        void (*close)(HWND);
    } cases[] = {
        // "&Izlaz" is field 9: its control ID is 1000 + 9.
        {"Izlaz", [](HWND w) { PostMessageW(GetDlgItem(w, 1009), BM_CLICK, 0, 0); }},
        {"WM_CLOSE", [](HWND w) { PostMessageW(w, WM_CLOSE, 0, 0); }},
        {"Alt-F4", [](HWND w) { PostMessageW(w, WM_SYSKEYDOWN, VK_F4, LPARAM(1) << 29); }},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.how);
        std::string path = "/prikazuputa.php?ID=" + std::to_string(++n);
        std::string address = server.base() + path;
        std::atomic<bool> returned{false};
        // Trailing blanks are the caller's padding, not part of the address.
        std::thread caller([&] {
            vx::VXWEBUPUTE(address + "     ");
            returned = true;
        });
        HWND w = nullptr;
        bool opened = waitUntil([&] { return (w = findOwnWindow(L"Alt-F4 to exit")) != nullptr; });
        if (opened) {
            EXPECT_TRUE(waitUntil([&] { return sawRequestFor(server, path); })) << "no request for " << path;
            EXPECT_EQ(controlText(w, 1003), std::wstring(address.begin(), address.end()));
            EXPECT_EQ(GetWindowLongPtrW(w, GWL_STYLE) & WS_SYSMENU, 0);
            c.close(w);
            EXPECT_TRUE(waitUntil([&] { return returned.load(); }, 10000)) << "still open";
        }
        // Never leave a window behind for the next case.
        while (!returned) {
            if (HWND left = findOwnWindow(L"Alt-F4 to exit")) PostMessageW(left, WM_CLOSE, 0, 0);
            Sleep(50);
        }
        caller.join();
        ASSERT_TRUE(opened);
        EXPECT_EQ(findOwnWindow(L"Alt-F4 to exit"), nullptr);
        EXPECT_EQ(vx::GL_URL_HLP.clip(), address);
    }
}

}  // namespace
