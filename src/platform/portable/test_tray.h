// The test side of the tray seam: records every shell call, icon load,
// subclassing and restore, and answers the shell as a test scripts it.
#pragma once
#include <atomic>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "platform/tray.h"

namespace vx {

class TestTray : public Tray {
public:
    TestTray() = default;
    ~TestTray() override;
    TestTray(const TestTray&) = delete;
    TestTray& operator=(const TestTray&) = delete;

    struct ShellCall {
        uint32_t message;
        NotifyIconRecord nid;
    };
    bool notifyIcon(uint32_t message, const NotifyIconRecord& nid, uint32_t& lastError) override;
    intptr_t loadIcon(const char* name) override;
    intptr_t subclass(intptr_t hwnd, WindowHandler handler) override;
    void restoreProcedure(intptr_t hwnd, intptr_t proc) override;
    intptr_t callProcedure(intptr_t proc, intptr_t hwnd, uint32_t msg, uintptr_t wParam,
                           intptr_t lParam) override;
    bool isWindow(intptr_t hwnd) override { return hwnd != 0 && !dead.count(hwnd); }
    void restoreWindow(intptr_t hwnd) override;
    uint32_t taskbarCreatedMessage() override { return 0xC0DE; }
    void install();

    // A destroyed window takes its procedure with it, as under Windows: the
    // headless toolkit reports each window it closes to the installed tray,
    // so a later window given the same handle starts with its own procedure.
    static void windowDestroyed(intptr_t hwnd);

    // Delivers a message to the window as Windows would: through its current procedure.
    intptr_t deliver(intptr_t hwnd, uint32_t msg, uintptr_t wParam, intptr_t lParam);

    // --- script ---
    bool shellResult = true;      // what Shell_NotifyIconA returns
    uint32_t shellError = 0;      // GetLastError after a failed call
    std::map<std::string, intptr_t> icons;  // resource name -> handle
    std::set<intptr_t> dead;      // handles no longer windows

    // --- records ---
    std::vector<ShellCall> shell;
    std::vector<std::string> iconLoads;
    std::vector<intptr_t> restored;
    struct Passed {
        intptr_t proc, hwnd;
        uint32_t msg;
    };
    std::vector<Passed> passedOn;  // messages handed to an original procedure
    std::map<intptr_t, intptr_t> procedure;  // hwnd -> current procedure (0: the toolkit's own)
    std::mutex mutex;

private:
    std::map<intptr_t, WindowHandler> handlers_;  // procedure value -> handler
    static std::atomic<TestTray*> installed_;
};

}  // namespace vx
