// Recording stand-in for the tray seam.
#include "platform/portable/test_tray.h"

namespace vx {

std::atomic<TestTray*> TestTray::installed_{nullptr};

TestTray::~TestTray() {
    TestTray* self = this;
    if (installed_.compare_exchange_strong(self, nullptr)) setTray(nullptr);
}

void TestTray::install() {
    setTray(this);
    installed_ = this;
}

void TestTray::windowDestroyed(intptr_t hwnd) {
    TestTray* t = installed_;
    if (!t || hwnd == 0) return;
    std::lock_guard<std::mutex> l(t->mutex);
    t->procedure.erase(hwnd);
}

bool TestTray::notifyIcon(uint32_t message, const NotifyIconRecord& nid, uint32_t& lastError) {
    std::lock_guard<std::mutex> l(mutex);
    shell.push_back({message, nid});
    lastError = shellResult ? 0 : shellError;
    return shellResult;
}

intptr_t TestTray::loadIcon(const char* name) {
    std::lock_guard<std::mutex> l(mutex);
    iconLoads.push_back(name);
    auto it = icons.find(name);
    return it == icons.end() ? 0 : it->second;
}

intptr_t TestTray::subclass(intptr_t hwnd, WindowHandler handler) {
    std::lock_guard<std::mutex> l(mutex);
    // A procedure value stands for the handler it calls.
    intptr_t value = reinterpret_cast<intptr_t>(handler);
    handlers_[value] = handler;
    intptr_t old = procedure[hwnd];
    procedure[hwnd] = value;
    return old;
}

void TestTray::restoreProcedure(intptr_t hwnd, intptr_t proc) {
    std::lock_guard<std::mutex> l(mutex);
    procedure[hwnd] = proc;
}

intptr_t TestTray::callProcedure(intptr_t proc, intptr_t hwnd, uint32_t msg, uintptr_t wParam,
                                 intptr_t lParam) {
    WindowHandler h = nullptr;
    {
        std::lock_guard<std::mutex> l(mutex);
        auto it = handlers_.find(proc);
        if (it == handlers_.end()) {
            passedOn.push_back({proc, hwnd, msg});
            return 0x7E57;  // what the toolkit's own procedure answers
        }
        h = it->second;
    }
    return h(hwnd, msg, wParam, lParam);
}

void TestTray::restoreWindow(intptr_t hwnd) {
    std::lock_guard<std::mutex> l(mutex);
    restored.push_back(hwnd);
}

intptr_t TestTray::deliver(intptr_t hwnd, uint32_t msg, uintptr_t wParam, intptr_t lParam) {
    intptr_t proc;
    {
        std::lock_guard<std::mutex> l(mutex);
        proc = procedure[hwnd];
    }
    return callProcedure(proc, hwnd, msg, wParam, lParam);
}

}  // namespace vx
