// The tray extender: the shell calls, the send-to-tray state machine, the
// event hook and the replaced window procedure.
#include "reporter/winext.h"

#include <algorithm>
#include <cstring>

#include "ui/frame.h"

namespace zilvara {

thread_local WINDOWEXTENDERCLASS* GLOCURRENTWINEXT = nullptr;

namespace {

constexpr uint32_t kFlagsAddDelete = 7;  // message, icon and tip valid
constexpr uint32_t kFlagsModify = 6;     // icon and tip only

void copyCut(char* dst, std::size_t capacity, std::string_view s) {
    std::size_t n = std::min(s.size(), capacity - 1);
    std::memcpy(dst, s.data(), n);
    dst[n] = 0;
}

}  // namespace

WINDOWEXTENDERCLASS::~WINDOWEXTENDERCLASS() { DESTRUCT(); }

void WINDOWEXTENDERCLASS::INIT(ui::Window& window, uint8_t allowShutdown, uint8_t allowTrayIcon,
                               std::string_view TRAYICONNAME, std::optional<std::string_view> tip) {
    MAINWINDOW = &window;
    ALLOWTRAYICON = allowTrayIcon;
    ALLOWSHUTDOWN = allowShutdown;
    TOTRAYONLOSEFOCUS = 0;
    PRVWINEXT = GLOCURRENTWINEXT;
    GLOCURRENTWINEXT = this;
    bound_ = true;
    ORIGWNDPROC = vx::tray().subclass(window.handle(), &WINDOWEXTENDERCLASS::WINEXTSUBCLASSFUNC);
    SETICONNAME(TRAYICONNAME);
    if (tip) SETTOOLTIP(*tip);
}

void WINDOWEXTENDERCLASS::SETICONNAME(std::string_view TRAYICONNAME) {
    copyCut(ICONNAME, sizeof ICONNAME, TRAYICONNAME);
    // "IPAdresa.ico" is stored among the resources as "IPAdresa_ico".
    std::size_t n = std::strlen(ICONNAME);
    if (n >= 4 && ICONNAME[n - 4] == '.') ICONNAME[n - 4] = '_';
    ICONHANDLE = vx::tray().loadIcon(ICONNAME);
    if (ONTRAY && ALLOWTRAYICON) MODIFYTRAYICON();
}

void WINDOWEXTENDERCLASS::SETTOOLTIP(std::string_view tip) {
    copyCut(TOOLTIP, sizeof TOOLTIP, tip);
    if (ONTRAY && ALLOWTRAYICON) MODIFYTRAYICON();
}

void WINDOWEXTENDERCLASS::fillNID(uint32_t flags) {
    NID = vx::NotifyIconRecord{};
    NID.UID = 1;
    NID.HICON = ICONHANDLE;
    copyCut(NID.TOOLTIP, sizeof NID.TOOLTIP, TOOLTIP);
    NID.CBSIZE = sizeof(vx::NotifyIconRecord);
    NID.HWND = MAINWINDOW ? MAINWINDOW->handle() : 0;
    NID.UFLAGS = flags;
    NID.UCBMESSAGE = TrayCallbackMessage;
}

uint8_t WINDOWEXTENDERCLASS::ADDTRAYICON() {
    fillNID(kFlagsAddDelete);
    uint32_t lastError = 0;
    if (vx::tray().notifyIcon(kNotifyAdd, NID, lastError)) return 1;
    // The shell can refuse without recording an error; that still counts as added.
    return lastError == 0 ? 1 : 0;
}

void WINDOWEXTENDERCLASS::MODIFYTRAYICON() {
    fillNID(kFlagsModify);
    uint32_t ignored = 0;
    vx::tray().notifyIcon(kNotifyModify, NID, ignored);
}

void WINDOWEXTENDERCLASS::DELETETRAYICON() {
    fillNID(kFlagsAddDelete);
    uint32_t ignored = 0;
    vx::tray().notifyIcon(kNotifyDelete, NID, ignored);
}

uint8_t WINDOWEXTENDERCLASS::SENDTOTRAY() {
    if (ALLOWTRAYICON && !ONTRAY) {
        if (ADDTRAYICON()) {
            MAINWINDOW->setWindowHidden(true);
            MAINWINDOW->activate(false);
            ONTRAY = 1;
        } else {
            ONTRAY = 0;
        }
    }
    return ONTRAY;
}

void WINDOWEXTENDERCLASS::RESTOREFROMTRAY() {
    if (ONTRAY != 1) return;
    ONTRAY = 0;
    DELETETRAYICON();
    MAINWINDOW->setWindowHidden(false);
    MAINWINDOW->activate(true);
    vx::tray().restoreWindow(MAINWINDOW->handle());
}

void WINDOWEXTENDERCLASS::postToCurrentWindow(int code) {
    ui::Window* w = ui::toolkit().currentWindow();
    if (!w) w = MAINWINDOW;
    ui::Event e;
    e.code = code;
    if (w) w->post(e);
}

void WINDOWEXTENDERCLASS::TAKEEVENT() {
    const ui::Event& e = ui::currentEvent();
    switch (e.code) {
        case ui::EVENT_CloseDown:
            break;
        case ui::EVENT_CloseWindow:
            if (ONTRAY) {
                DELETETRAYICON();
                MAINWINDOW->setWindowHidden(false);
                MAINWINDOW->activate(true);
                ONTRAY = 0;
            }
            break;
        case ui::EVENT_Maximize:
            if (ONTRAY) RESTOREFROMTRAY();
            break;
        case ui::EVENT_Iconized:
            if (!SENDTOTRAY()) postToCurrentWindow(ui::EVENT_Maximize);
            break;
        case ui::EVENT_Notify: {
            // Mouse and deactivation notifications count only from this thread.
            if (e.notifyThread == ui::toolkit().currentThread()) {
                if (ONTRAY) {
                    switch (e.notifyCode) {
                        case TrayNotifyLeftUp: TRAYICONMOUSELEFT(); break;
                        case TrayNotifyRightUp: TRAYICONMOUSERIGHT(); break;
                        case TrayNotifyLeftDouble: TRAYICONMOUSELEFT2(); break;
                        case TrayNotifyRightDouble: TRAYICONMOUSERIGHT2(); break;
                        default: break;
                    }
                } else if (e.notifyCode == NotifyDeactivated && TOTRAYONLOSEFOCUS) {
                    SENDTOTRAY();
                }
            }
            if (e.notifyCode == NotifySessionEnd) postToCurrentWindow(ui::EVENT_CloseDown);
            break;
        }
        default:
            break;
    }
}

intptr_t WINDOWEXTENDERCLASS::WINEXTSUBCLASSFUNC(intptr_t hwnd, uint32_t WMSG, uintptr_t wParam,
                                                 intptr_t lParam) {
    WINDOWEXTENDERCLASS* self = GLOCURRENTWINEXT;
    if (!self) return vx::tray().callProcedure(0, hwnd, WMSG, wParam, lParam);
    ui::Toolkit& kit = ui::toolkit();
    switch (WMSG) {
        case TrayCallbackMessage: {
            uint32_t code = 0;
            switch (static_cast<uint32_t>(lParam) & 0xFFFF) {
                case 0x202: code = TrayNotifyLeftUp; break;      // WM_LBUTTONUP
                case 0x203: code = TrayNotifyLeftDouble; break;  // WM_LBUTTONDBLCLK
                case 0x205: code = TrayNotifyRightUp; break;     // WM_RBUTTONUP
                case 0x206: code = TrayNotifyRightDouble; break; // WM_RBUTTONDBLCLK
                default: break;
            }
            // The handlers run later, from the thread's own event loop.
            if (code) kit.notify(code, kit.currentThread(), static_cast<intptr_t>(wParam));
            return 0;
        }
        case 0x11:  // WM_QUERYENDSESSION
            if (!self->ALLOWSHUTDOWN) return 0;
            self->ONSHUTDOWN = self->PROCESSSHUTDOWN();
            return self->ONSHUTDOWN;
        case 0x16:  // WM_ENDSESSION
            if (!self->ALLOWSHUTDOWN) return 0;
            kit.notify(NotifySessionEnd, kit.currentThread(), 0);
            return 1;
        case 0x1C:  // WM_ACTIVATEAPP
            if (wParam == 0) {
                kit.notify(NotifyDeactivated, kit.currentThread(), 0);
                return 1;
            }
            break;
        default:
            break;
    }
    // Explorer restarted: a window in the tray gets its icon back.
    uint32_t taskbarCreated = vx::tray().taskbarCreatedMessage();
    if (taskbarCreated != 0 && WMSG == taskbarCreated && self->ONTRAY && self->ALLOWTRAYICON)
        self->ADDTRAYICON();
    return vx::tray().callProcedure(self->ORIGWNDPROC, hwnd, WMSG, wParam, lParam);
}

void WINDOWEXTENDERCLASS::DESTRUCT() {
    if (!bound_) return;
    bound_ = false;
    intptr_t hwnd = MAINWINDOW ? MAINWINDOW->handle() : 0;
    if (hwnd != 0 && vx::tray().isWindow(hwnd)) vx::tray().restoreProcedure(hwnd, ORIGWNDPROC);
    GLOCURRENTWINEXT = PRVWINEXT;
}

}  // namespace zilvara
