// The Win32 side of the tray seam: Shell_NotifyIconA with our own record,
// icons from the program's resources and the subclassing of a window.
#include <windows.h>
#include <shellapi.h>

#include <cstddef>

#include "platform/tray.h"

namespace vx {
namespace {

// Our record must be the shell's first notify-icon layout, field for field.
static_assert(sizeof(NotifyIconRecord) == NOTIFYICONDATAA_V1_SIZE, "notify-icon record size");
static_assert(offsetof(NotifyIconRecord, HWND) == offsetof(NOTIFYICONDATAA, hWnd), "hWnd");
static_assert(offsetof(NotifyIconRecord, UID) == offsetof(NOTIFYICONDATAA, uID), "uID");
static_assert(offsetof(NotifyIconRecord, UFLAGS) == offsetof(NOTIFYICONDATAA, uFlags), "uFlags");
static_assert(offsetof(NotifyIconRecord, UCBMESSAGE) == offsetof(NOTIFYICONDATAA, uCallbackMessage),
              "uCallbackMessage");
static_assert(offsetof(NotifyIconRecord, HICON) == offsetof(NOTIFYICONDATAA, hIcon), "hIcon");
static_assert(offsetof(NotifyIconRecord, TOOLTIP) == offsetof(NOTIFYICONDATAA, szTip), "szTip");

// The one portable procedure every subclassed window is handed to.
WindowHandler subclassHandler = nullptr;

LRESULT CALLBACK subclassProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (!subclassHandler) return DefWindowProcW(hwnd, msg, wParam, lParam);
    return LRESULT(subclassHandler(reinterpret_cast<intptr_t>(hwnd), msg, uintptr_t(wParam),
                                   intptr_t(lParam)));
}

HWND window(intptr_t h) { return reinterpret_cast<HWND>(h); }

class Win32Tray : public Tray {
public:
    bool notifyIcon(uint32_t message, const NotifyIconRecord& nid, uint32_t& lastError) override {
        SetLastError(0);
        BOOL ok = Shell_NotifyIconA(message, reinterpret_cast<PNOTIFYICONDATAA>(
                                                 const_cast<NotifyIconRecord*>(&nid)));
        lastError = GetLastError();
        return ok != FALSE;
    }
    intptr_t loadIcon(const char* name) override {
        return reinterpret_cast<intptr_t>(LoadImageA(GetModuleHandleA(nullptr), name, IMAGE_ICON, 16, 16, 0));
    }
    intptr_t subclass(intptr_t hwnd, WindowHandler handler) override {
        subclassHandler = handler;
        // The toolkit's windows are Unicode: the W calls keep their messages unconverted.
        return intptr_t(SetWindowLongPtrW(window(hwnd), GWLP_WNDPROC,
                                          reinterpret_cast<LONG_PTR>(&subclassProc)));
    }
    void restoreProcedure(intptr_t hwnd, intptr_t proc) override {
        SetWindowLongPtrW(window(hwnd), GWLP_WNDPROC, LONG_PTR(proc));
    }
    intptr_t callProcedure(intptr_t proc, intptr_t hwnd, uint32_t msg, uintptr_t wParam,
                           intptr_t lParam) override {
        if (!proc) return intptr_t(DefWindowProcW(window(hwnd), msg, WPARAM(wParam), LPARAM(lParam)));
        return intptr_t(CallWindowProcW(reinterpret_cast<WNDPROC>(proc), window(hwnd), msg,
                                        WPARAM(wParam), LPARAM(lParam)));
    }
    bool isWindow(intptr_t hwnd) override { return IsWindow(window(hwnd)) != FALSE; }
    void restoreWindow(intptr_t hwnd) override {
        ShowWindow(window(hwnd), SW_RESTORE);
        SetForegroundWindow(window(hwnd));
    }
    uint32_t taskbarCreatedMessage() override {
        static const UINT message = RegisterWindowMessageA("TaskbarCreated");
        return message;
    }
};

}  // namespace

void installWin32Tray() {
    static Win32Tray tray;
    setTray(&tray);
}

}  // namespace vx
