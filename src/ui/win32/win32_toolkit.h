// The Win32 toolkit: real windows built from their definitions, an event
// queue per window fed by the window's messages, the message dialog, the
// popup menu and the threads. installWin32Toolkit() puts it in force.
#pragma once
#include <windows.h>

#include <map>
#include <mutex>
#include <vector>

#include "ui/toolkit.h"

namespace ui::win32 {

class Win32Window;

class Win32Toolkit : public Toolkit {
public:
    Win32Toolkit();
    std::unique_ptr<Window> create(const WindowDef& def) override;
    int message(const MessageSpec& request) override;
    int popup(const std::string& items) override;
    void beep() override;
    uint32_t startThread(std::function<void()> body, std::size_t stack) override;
    uint32_t currentThread() override;
    void notify(uint32_t code, uint32_t thread, intptr_t param) override;
    void redrawAll() override;
    std::string timeText(int hour, int minute, int second) override;
    Window* currentWindow() override;
    void whileBlocked(const std::function<void()>& call) override;

    // --- the windows' registry (every thread) ---
    // Innermost open window of a thread, null when none.
    Win32Window* innermost(uint32_t thread);
    void opened(Win32Window* w);
    void closed(Win32Window* w);

private:
    std::recursive_mutex mutex_;
    std::map<uint32_t, std::vector<Win32Window*>> open_;  // per thread, innermost last
};

// Installs the toolkit (once per process) and registers its window classes.
void installWin32Toolkit();
Win32Toolkit& win32Toolkit();

// The message dialog alone (also used without a toolkit window).
int showMessage(const MessageSpec& request, HWND owner);

}  // namespace ui::win32
