// What a toolkit window's messages become: the window procedure, which turns
// them into queued events, and the completion of input in its entries.
#include "ui/win32/win32_window.h"

#include <commctrl.h>

namespace ui::win32 {
namespace {

std::string fromScreenLines(const std::string& s) {
    std::string out;
    out.reserve(s.size());
    for (char ch : s)
        if (ch != '\r') out += ch;
    return out;
}

}  // namespace

// --- input completion ---

Event Win32Window::completion(int field) {
    Slot& s = slots_[std::size_t(field - 1)];
    const Control& c = control(field);
    s.modified = false;
    std::string input = narrow(windowText(s.hwnd));
    if (c.kind == Kind::Text) input = fromScreenLines(input);
    if (c.kind == Kind::Entry) input = singleLine(input);  // e.g. another program's WM_SETTEXT
    // Stored before the event is handled: the handler reads the variable.
    Event e;
    e.code = storeInput(c.var, c.format, input) ? EVENT_Accepted : EVENT_Rejected;
    e.field = field;
    return e;
}

void Win32Window::complete(int field) { post(completion(field)); }

std::vector<Event> Win32Window::completeAll() {
    std::vector<Event> events;
    for (int f = 1; f <= int(slots_.size()); ++f)
        if (slots_[std::size_t(f - 1)].modified) events.push_back(completion(f));
    return events;
}

void Win32Window::completePending() {
    for (const Event& e : completeAll()) post(e);
}

// --- the window procedure ---

LRESULT CALLBACK Win32Window::windowProc(HWND h, UINT msg, WPARAM w, LPARAM l) {
    if (msg == WM_NCCREATE) {
        auto* cs = reinterpret_cast<CREATESTRUCTW*>(l);
        auto* self = static_cast<Win32Window*>(cs->lpCreateParams);
        SetWindowLongPtrW(h, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        self->hwnd_ = h;
    }
    auto* self = reinterpret_cast<Win32Window*>(GetWindowLongPtrW(h, GWLP_USERDATA));
    if (!self || self->hwnd_ != h) return DefWindowProcW(h, msg, w, l);
    return self->handleMessage(msg, w, l);
}

LRESULT Win32Window::handleMessage(UINT msg, WPARAM w, LPARAM l) {
    switch (msg) {
        case kWakeMessage: return 0;
        case kRedrawMessage: redrawDisplays(); return 0;
        case WM_CLOSE:
            // Only a request: the frame's return step closes the window.
            queue(EVENT_CloseWindow);
            return 0;
        case WM_ACTIVATE:
            if (LOWORD(w) == WA_INACTIVE) {
                HWND focus = GetFocus();
                if (focus && IsChild(hwnd_, focus)) lastFocus_ = focus;
                return 0;
            }
            if (open_) queue(EVENT_GainFocus);
            if (lastFocus_ && IsWindow(lastFocus_) && IsWindowEnabled(lastFocus_)) SetFocus(lastFocus_);
            else if (!HIWORD(w)) SetFocus(hwnd_);
            return 0;
        case WM_SETFOCUS:
            // Back to the control that had the focus, unless the focus just left one of ours.
            if (reinterpret_cast<HWND>(w) && IsChild(hwnd_, reinterpret_cast<HWND>(w))) return 0;
            if (lastFocus_ && IsWindow(lastFocus_) && IsWindowEnabled(lastFocus_) && IsWindowVisible(lastFocus_))
                SetFocus(lastFocus_);
            return 0;
        case WM_SYSCOMMAND:
            // Queued for the window; the real command goes on to maximise.
            if ((w & 0xFFF0) == SC_MAXIMIZE && open_) queue(EVENT_Maximize);
            break;
        case WM_SIZE:
            if (w == SIZE_MINIMIZED) {
                if (!minimised_ && open_) queue(EVENT_Iconized);
                minimised_ = true;
                return 0;
            }
            if (w == SIZE_RESTORED || w == SIZE_MAXIMIZED) {
                minimised_ = false;
                layout();
                SIZE now{LOWORD(l), HIWORD(l)};
                if (shown_ && open_ && (now.cx != client_.cx || now.cy != client_.cy)) queue(EVENT_Sized);
                client_ = now;
            }
            return 0;
        case WM_TIMER:
            if (w == kTimerId && open_) queue(EVENT_Timer);
            return 0;
        case WM_PAINT: paintWindow(); return 0;
        case WM_ERASEBKGND:
            if (painting_) return 1;  // the paint itself covers everything
            eraseWithFields(reinterpret_cast<HDC>(w));
            return 1;
        case WM_PRINTCLIENT: printClient(reinterpret_cast<HDC>(w), l); return 0;
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORLISTBOX:
            return colourControl(msg, reinterpret_cast<HDC>(w), reinterpret_cast<HWND>(l));
        case DM_GETDEFID:
            for (int f = 1; f <= int(slots_.size()); ++f)
                if (control(f).kind == Kind::Button && has(control(f), Default))
                    return MAKELRESULT(kFirstControlId + f, DC_HASDEFID);
            return 0;
        case WM_COMMAND: {
            int id = LOWORD(w), code = HIWORD(w);
            if (id == IDOK || id == IDCANCEL) {
                // Enter (no default button) completes the entry being typed in.
                if (id == IDOK) {
                    int field = fieldOf(GetFocus());
                    if (field && slots_[std::size_t(field - 1)].modified) complete(field);
                }
                return 0;
            }
            int field = id - kFirstControlId;
            if (!valid(field) || !open_) return 0;
            Slot& s = slots_[std::size_t(field - 1)];
            const Control& c = control(field);
            switch (c.kind) {
                case Kind::Button:
                    if (code == BN_CLICKED) {
                        // An entry left with a change completes before the button.
                        completePending();
                        queue(EVENT_Accepted, field);
                    }
                    break;
                case Kind::Check:
                    if (code == BN_CLICKED) {
                        completePending();
                        bool ticked = SendMessageW(s.hwnd, BM_GETCHECK, 0, 0) == BST_CHECKED;
                        storeInput(c.var, c.format, ticked ? "1" : "0");
                        queue(EVENT_Accepted, field);
                    }
                    break;
                case Kind::Entry:
                case Kind::Text:
                    if (code == EN_CHANGE && !updating_) s.modified = true;
                    else if (code == EN_KILLFOCUS && s.modified) complete(field);
                    break;
                default: break;
            }
            return 0;
        }
        case WM_NOTIFY: {
            auto* hdr = reinterpret_cast<const NMHDR*>(l);
            int field = fieldOf(hdr->hwndFrom);
            if (field && control(field).kind == Kind::List && hdr->code == LVN_ITEMCHANGED && !updating_ && open_) {
                auto* change = reinterpret_cast<const NMLISTVIEW*>(l);
                if ((change->uChanged & LVIF_STATE) && (change->uNewState & LVIS_SELECTED) &&
                    !(change->uOldState & LVIS_SELECTED))
                    queue(EVENT_NewSelection, field);
            }
            return 0;
        }
        case WM_GETOBJECT:
            if (LRESULT answer = answerGetObject(hwnd_, *this, w, l, accessible_)) return answer;
            break;
        default: break;
    }
    return DefWindowProcW(hwnd_, msg, w, l);
}

}  // namespace ui::win32
