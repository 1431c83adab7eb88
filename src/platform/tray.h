// The seam to the Windows shell's notification area and to window
// subclassing, as the tray extender needs them (Win32 side in tray_win32.cpp).
#pragma once
#include <cstdint>

namespace vx {

// The shell's notify-icon record in its first version: 88 bytes on i686,
// the same fields with 64-bit handles (and the shell's padding) on x86_64.
struct NotifyIconRecord {
    uint32_t CBSIZE = 0;
    intptr_t HWND = 0;
    uint32_t UID = 0;
    uint32_t UFLAGS = 0;
    uint32_t UCBMESSAGE = 0;
    intptr_t HICON = 0;
    char TOOLTIP[64] = {};
};
#if INTPTR_MAX == INT32_MAX
static_assert(sizeof(NotifyIconRecord) == 88, "the shell's first notify-icon layout");
#endif

// A window procedure in portable terms: handle, message, WPARAM, LPARAM.
using WindowHandler = intptr_t (*)(intptr_t hwnd, uint32_t msg, uintptr_t wParam, intptr_t lParam);

class Tray {
public:
    virtual ~Tray() = default;
    // Shell_NotifyIconA with NIM_ADD 0, NIM_MODIFY 1 or NIM_DELETE 2; its
    // result, and GetLastError() read right after the call.
    virtual bool notifyIcon(uint32_t message, const NotifyIconRecord& nid, uint32_t& lastError) = 0;
    // LoadImageA(program instance, name, IMAGE_ICON, 16, 16, 0); 0 when absent.
    virtual intptr_t loadIcon(const char* name) = 0;
    // Replaces the window's procedure with one that calls handler; the old one.
    virtual intptr_t subclass(intptr_t hwnd, WindowHandler handler) = 0;
    virtual void restoreProcedure(intptr_t hwnd, intptr_t proc) = 0;
    // Passes a message on to a procedure (0: the default one).
    virtual intptr_t callProcedure(intptr_t proc, intptr_t hwnd, uint32_t msg, uintptr_t wParam,
                                   intptr_t lParam) = 0;
    virtual bool isWindow(intptr_t hwnd) = 0;
    // ShowWindow(SW_RESTORE) and into the foreground.
    virtual void restoreWindow(intptr_t hwnd) = 0;
    // The registered message "TaskbarCreated" (Explorer has restarted); 0 if none.
    virtual uint32_t taskbarCreatedMessage() = 0;
};

// The installed tray seam.
Tray& tray();
void setTray(Tray* t);
// The Windows shell's (tray_win32.cpp).
void installWin32Tray();

}  // namespace vx
