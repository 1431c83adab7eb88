// The Win32 toolkit: the registry of open windows per thread, threads and
// notify events between them, the redraw of every thread's display fields,
// the popup menu, the beep and the regional time of day.
#include "ui/win32/win32_toolkit.h"

#include <commctrl.h>

#include <cstdlib>
#include <mutex>

#include "platform/win32/win32_platform.h"
#include "ui/win32/preloads.h"
#include "ui/win32/win32_text.h"
#include "ui/win32/win32_window.h"

namespace ui::win32 {
namespace {

Win32Toolkit* theToolkit = nullptr;

// Long enough for any window's preload, short enough that an exit never hangs.
constexpr int kExitWaitMs = 2000;
void awaitPreloadsBeforeExit() { awaitPreloadsForExit(kExitWaitMs); }

DWORD WINAPI threadMain(LPVOID p) {
    std::unique_ptr<std::function<void()>> body(static_cast<std::function<void()>*>(p));
    (*body)();
    return 0;
}

}  // namespace

Win32Toolkit::Win32Toolkit() = default;

void installWin32Toolkit() {
    static std::once_flag once;
    std::call_once(once, [] {
        INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES | ICC_BAR_CLASSES |
                                                 ICC_LISTVIEW_CLASSES | ICC_TAB_CLASSES};
        InitCommonControlsEx(&icc);
        SetProcessDPIAware();
        registerWindowClasses();
        // Every way out of the process: the platform's exit, and a return from main.
        vx::setBeforeExit(&awaitPreloadsBeforeExit);
        std::atexit(&awaitPreloadsBeforeExit);
        theToolkit = new Win32Toolkit();  // lives as long as the process: windows of every thread use it
    });
    setToolkit(theToolkit);
}

Win32Toolkit& win32Toolkit() {
    installWin32Toolkit();
    return *theToolkit;
}

std::unique_ptr<Window> Win32Toolkit::create(const WindowDef& def) {
    return std::make_unique<Win32Window>(*this, def);
}

Win32Window* Win32Toolkit::innermost(uint32_t thread) {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    auto found = open_.find(thread);
    return found == open_.end() || found->second.empty() ? nullptr : found->second.back();
}

void Win32Toolkit::opened(Win32Window* w) {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    open_[w->thread()].push_back(w);
}

void Win32Toolkit::closed(Win32Window* w) {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    auto found = open_.find(w->thread());
    if (found == open_.end()) return;
    auto& list = found->second;
    for (auto it = list.begin(); it != list.end(); ++it) {
        if (*it == w) {
            list.erase(it);
            break;
        }
    }
    if (list.empty()) open_.erase(found);
}

Window* Win32Toolkit::currentWindow() { return innermost(GetCurrentThreadId()); }

int Win32Toolkit::message(const MessageSpec& request) {
    Win32Window* owner = innermost(GetCurrentThreadId());
    if (owner) owner->reveal();  // a box opens over a visible window
    return showMessage(request, owner ? owner->hwnd() : nullptr);
}

int Win32Toolkit::popup(const std::string& items) {
    MenuHandle menu(CreatePopupMenu());
    if (!menu) return 0;
    UINT id = 0;
    std::size_t start = 0;
    for (;;) {
        std::size_t bar = items.find('|', start);
        std::string item = items.substr(start, bar == std::string::npos ? std::string::npos : bar - start);
        if (item == "-") {
            AppendMenuW(menu.get(), MF_SEPARATOR, 0, nullptr);
        } else {
            std::wstring text = widen(item);
            AppendMenuW(menu.get(), MF_STRING, ++id, text.c_str());
        }
        if (bar == std::string::npos) break;
        start = bar + 1;
    }
    Win32Window* current = innermost(GetCurrentThreadId());
    HWND owner = current ? current->hwnd() : nullptr;
    WindowHandle stand;  // a menu needs a window to belong to
    if (!owner) {
        stand.reset(CreateWindowExW(WS_EX_TOOLWINDOW, L"STATIC", L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                    GetModuleHandleW(nullptr), nullptr));
        owner = stand.get();
    }
    POINT pt{};
    GetCursorPos(&pt);
    // Without the foreground the menu would not close when the user clicks elsewhere.
    SetForegroundWindow(owner);
    int chosen = int(TrackPopupMenu(menu.get(), TPM_RETURNCMD | TPM_RIGHTBUTTON, pt.x, pt.y, 0, owner, nullptr));
    PostMessageW(owner, WM_NULL, 0, 0);
    return chosen;
}

void Win32Toolkit::beep() { MessageBeep(0xFFFFFFFF); }

uint32_t Win32Toolkit::startThread(std::function<void()> body, std::size_t stack) {
    auto* p = new std::function<void()>(std::move(body));
    DWORD id = 0;
    // The size is the commit: no STACK_SIZE_PARAM_IS_A_RESERVATION.
    HANDLE h = CreateThread(nullptr, stack, threadMain, p, 0, &id);
    if (!h) {
        delete p;
        return 0;
    }
    CloseHandle(h);
    return id;
}

uint32_t Win32Toolkit::currentThread() { return GetCurrentThreadId(); }

void Win32Toolkit::notify(uint32_t code, uint32_t thread, intptr_t param) {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    Win32Window* target = innermost(thread ? thread : GetCurrentThreadId());
    if (!target) return;
    Event e;
    e.code = EVENT_Notify;
    e.notifyCode = code;
    e.notifyThread = GetCurrentThreadId();
    e.notifyParam = param;
    target->post(e);
}

void Win32Toolkit::redrawAll() {
    uint32_t self = GetCurrentThreadId();
    std::vector<Win32Window*> own;
    {
        std::lock_guard<std::recursive_mutex> lock(mutex_);
        for (auto& [thread, windows] : open_) {
            for (Win32Window* w : windows) {
                // Another thread's controls are touched only by that thread.
                if (thread == self) own.push_back(w);
                else w->requestRedraw();
            }
        }
    }
    for (Win32Window* w : own) w->redrawDisplays();
}

std::string Win32Toolkit::timeText(int hour, int minute, int second) {
    SYSTEMTIME st{};
    st.wYear = 2000;
    st.wMonth = 1;
    st.wDay = 1;
    st.wHour = WORD(hour);
    st.wMinute = WORD(minute);
    st.wSecond = WORD(second);
    wchar_t buf[64];
    int n = GetTimeFormatW(LOCALE_USER_DEFAULT, 0, &st, nullptr, buf, 64);
    return n > 0 ? narrow(std::wstring(buf, std::size_t(n - 1))) : std::string();
}

}  // namespace ui::win32
