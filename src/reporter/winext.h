// The tray extender (module WinExt): binds itself to a window, sends it to
// the notification area when minimised and turns tray and session messages
// into notify events and handler calls on the window's own thread.
#pragma once
#include <cstdint>
#include <optional>
#include <string_view>

#include "platform/tray.h"
#include "ui/toolkit.h"

namespace zilvara {

// Message and notification codes of the extender.
enum : uint32_t {
    TrayCallbackMessage = 0x660,
    TrayNotifyLeftUp = 0x661,
    TrayNotifyRightUp = 0x662,
    TrayNotifyLeftDouble = 0x663,
    TrayNotifyRightDouble = 0x664,
    NotifySessionEnd = 0x202,   // the same number as EVENT:CloseDown
    NotifyDeactivated = 0x205,  // the same number as EVENT:LoseFocus
};

// Shell_NotifyIconA's messages.
enum : uint32_t { kNotifyAdd = 0, kNotifyModify = 1, kNotifyDelete = 2 };

class WINDOWEXTENDERCLASS {
public:
    WINDOWEXTENDERCLASS() = default;  // CONSTRUCT does nothing
    virtual ~WINDOWEXTENDERCLASS();
    WINDOWEXTENDERCLASS(const WINDOWEXTENDERCLASS&) = delete;
    WINDOWEXTENDERCLASS& operator=(const WINDOWEXTENDERCLASS&) = delete;

    // --- virtual slots, in this order ---
    virtual void TRAYICONMOUSELEFT() {}
    virtual void TRAYICONMOUSERIGHT() {}
    virtual void TRAYICONMOUSELEFT2() {}
    virtual void TRAYICONMOUSERIGHT2() {}
    virtual uint8_t PROCESSSHUTDOWN() { return 1; }

    void INIT(ui::Window& window, uint8_t allowShutdown, uint8_t allowTrayIcon,
              std::string_view TRAYICONNAME, std::optional<std::string_view> tip = std::nullopt);
    void SETICONNAME(std::string_view TRAYICONNAME);
    void SETTOOLTIP(std::string_view tip);
    uint8_t ADDTRAYICON();
    void MODIFYTRAYICON();
    void DELETETRAYICON();
    uint8_t SENDTOTRAY();
    void RESTOREFROMTRAY();
    void TAKEEVENT();
    // Puts the window's procedure back and steps the thread's chain back.
    void DESTRUCT();

    static intptr_t WINEXTSUBCLASSFUNC(intptr_t hwnd, uint32_t WMSG, uintptr_t wParam,
                                       intptr_t lParam);

    // --- fields, in declaration order ---
    ui::Window* MAINWINDOW = nullptr;
    WINDOWEXTENDERCLASS* PRVWINEXT = nullptr;
    intptr_t ORIGWNDPROC = 0;
    uint8_t ALLOWTRAYICON = 0;
    uint8_t TOTRAYONLOSEFOCUS = 0;
    uint8_t ALLOWSHUTDOWN = 0;
    uint8_t ONTRAY = 0;
    uint8_t ONSHUTDOWN = 0;
    vx::NotifyIconRecord NID;
    char ICONNAME[128] = {};
    intptr_t ICONHANDLE = 0;
    char TOOLTIP[64] = {};
    intptr_t TOOLTIPHANDLE = 0;  // declared, never used

private:
    void fillNID(uint32_t flags);
    void postToCurrentWindow(int code);
    bool bound_ = false;
};

// The extender most recently bound on this thread and not yet destroyed.
extern thread_local WINDOWEXTENDERCLASS* GLOCURRENTWINEXT;

}  // namespace zilvara
