// A toolkit window on Win32: creation from the definition, its pictures
// prepared on a thread meanwhile, the queue of its events and the field operations.
#include "ui/win32/win32_window.h"

#include <commctrl.h>
#include <oleacc.h>

#include <algorithm>
#include <atomic>
#include <system_error>

#include "ui/win32/images.h"
#include "ui/win32/preloads.h"
#include "ui/win32/single_line_entry.h"
#include "ui/win32/window_accessible.h"
#include "ui/win32/win32_toolkit.h"

namespace ui::win32 {
namespace {

const wchar_t kWindowClass[] = L"VxToolkitWindow";
const wchar_t kObjectClass[] = L"VxObjectArea";
ATOM windowAtom = 0;

LRESULT CALLBACK objectAreaProc(HWND h, UINT msg, WPARAM w, LPARAM l) {
    if (msg == WM_ERASEBKGND) {
        RECT rc;
        GetClientRect(h, &rc);
        FillRect(reinterpret_cast<HDC>(w), &rc, GetSysColorBrush(COLOR_WINDOW));
        return 1;
    }
    return DefWindowProcW(h, msg, w, l);
}

// Edit controls want CRLF; the program's texts use LF.
std::wstring toScreenLines(const std::wstring& s) {
    std::wstring out;
    out.reserve(s.size() + s.size() / 32);
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == L'\n' && (i == 0 || s[i - 1] != L'\r')) out += L'\r';
        out += s[i];
    }
    return out;
}


// A push button has no frame outside its client area, so its non-client paint
// draws nothing; left to the default it still takes a device context of its
// own (a new one for each button), which costs the first paint of every button.
std::atomic<WNDPROC> buttonClassProc{nullptr};  // windows of every thread share it

LRESULT CALLBACK pushButtonProc(HWND h, UINT msg, WPARAM w, LPARAM l) {
    if (msg == WM_NCPAINT) return 0;
    return CallWindowProcW(buttonClassProc.load(), h, msg, w, l);
}

void skipNonClientPaint(HWND button) {
    auto own = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(button, GWLP_WNDPROC));
    WNDPROC expected = nullptr;
    buttonClassProc.compare_exchange_strong(expected, own);
    if (own != buttonClassProc.load()) return;  // another button class: left as it is
    SetWindowLongPtrW(button, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&pushButtonProc));
}

// A button's icon: as large as an icon-only button allows, else small beside the text.
int buttonIconSize(bool hasText, int w, int h) { return hasText ? 16 : std::clamp<int>(std::min(w, h) - 6, 16, 32); }

int inputWidth(const Control& c) {
    if (c.format.width > 0) return c.format.width;
    if (c.var.type == Var::Type::Text) return c.var.width > 0 ? c.var.width : -c.var.width - 1;
    return 0;
}

}  // namespace

void registerWindowClasses() {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = &Win32Window::windowProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512) /* IDC_ARROW */);
    wc.lpszClassName = kWindowClass;
    windowAtom = RegisterClassExW(&wc);
    WNDCLASSEXW area{};
    area.cbSize = sizeof area;
    area.lpfnWndProc = objectAreaProc;
    area.hInstance = GetModuleHandleW(nullptr);
    area.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512) /* IDC_ARROW */);
    area.lpszClassName = kObjectClass;
    RegisterClassExW(&area);
}

bool isToolkitWindow(HWND h) { return h && windowAtom && GetClassLongPtrW(h, GCW_ATOM) == windowAtom; }

// --- construction and opening ---

Win32Window::Win32Window(Win32Toolkit& kit, const WindowDef& def)
    : kit_(kit), def_(def), thread_(GetCurrentThreadId()), slots_(def.controls.size()) {
    for (std::size_t i = 0; i < slots_.size(); ++i) {
        slots_[i].hidden = (def_.controls[i].flags & Hidden) != 0;
        slots_[i].disabled = (def_.controls[i].flags & Disabled) != 0;
    }
    // What needs no window is made while the procedure's own start-up (the
    // console's request, for instance) runs; open() waits for it. Counted, so
    // that the end of the process waits for it too.
    if (!preloadStarting()) return;
    try {
        preload_ = std::thread([this] {
            preloadGuarded();
            preloadEnded();
        });
    } catch (const std::system_error&) {
        preloadEnded();  // no thread: open() makes everything itself
    }
}

Win32Window::~Win32Window() {
    awaitPreload();
    close();
}

void Win32Window::awaitPreload() {
    if (preload_.joinable()) preload_.join();
}

// An exception in the preload (an allocation failing while scaling) would end
// the process; it ends the preload instead.
void Win32Window::preloadGuarded() {
    try {
        preload();
    } catch (...) {
        // The failing field's half-made picture goes and its place stays plain,
        // as for a missing one; open() makes whatever else is still missing.
        if (!valid(preloadField_)) return;
        Slot& s = slots_[std::size_t(preloadField_ - 1)];
        s.picture.reset();
        s.scaled.reset();
        s.scaledSize = SIZE{0, 0};
        s.icon.reset();
        s.pictureFailed = control(preloadField_).kind == Kind::Image;
    }
}

// Touches only what open() uses first: the font, icons and pictures (scaled
// to their size on the screen where the definition gives it).
void Win32Window::preload() {
    measureFont();
    loadWindowIcons();
    wallpaper_.reset(loadPicture(def_.wallpaper));
    for (int field = 1; field <= int(slots_.size()); ++field) {
        preloadField_ = field;
        const Control& c = control(field);
        Slot& s = slots_[std::size_t(field - 1)];
        bool sized = c.w > 0 && c.h > 0 && !has(c, FullSize);
        if (c.kind == Kind::Image) {
            s.picture.reset(loadPicture(c.icon));
            if (sized) scaledPicture(field, SIZE{px(c.w), py(c.h)});
        } else if (c.kind == Kind::Button && !c.icon.empty() && (sized || !c.text.empty())) {
            s.iconSize = buttonIconSize(!c.text.empty(), px(c.w), py(c.h));
            s.icon.reset(loadIcon(c.icon, s.iconSize));
        }
    }
}

void Win32Window::loadWindowIcons() {
    HICON big = loadIcon(def_.icon, GetSystemMetrics(SM_CXICON));
    HICON small = loadIcon(def_.icon, GetSystemMetrics(SM_CXSMICON));
    if (!big) big = firstProgramIcon(GetSystemMetrics(SM_CXICON));
    if (!small) small = firstProgramIcon(GetSystemMetrics(SM_CXSMICON));
    bigIcon_.reset(big);
    smallIcon_.reset(small);
}

HFONT Win32Window::fontFor(const Font& f) {
    std::string face = !f.face.empty() ? f.face : !def_.font.face.empty() ? def_.font.face : "MS Shell Dlg 2";
    int points = f.points > 0 ? f.points : def_.font.points > 0 ? def_.font.points : 8;
    bool eastEurope = f.eastEurope || (f.face.empty() && def_.font.eastEurope);
    std::string key = face + "|" + std::to_string(points) + (f.bold ? "|b" : "|n") + (eastEurope ? "|e" : "|d");
    auto found = fonts_.find(key);
    if (found != fonts_.end()) return found->second.get();
    HDC screen = GetDC(nullptr);
    int height = -MulDiv(points, GetDeviceCaps(screen, LOGPIXELSY), 72);
    ReleaseDC(nullptr, screen);
    LOGFONTW lf{};
    lf.lfHeight = height;
    lf.lfWeight = f.bold ? FW_BOLD : FW_NORMAL;
    lf.lfCharSet = eastEurope ? EASTEUROPE_CHARSET : DEFAULT_CHARSET;
    lf.lfQuality = DEFAULT_QUALITY;
    std::wstring w = widen(face);
    wcsncpy(lf.lfFaceName, w.c_str(), LF_FACESIZE - 1);
    HFONT font = CreateFontIndirectW(&lf);
    fonts_[key].reset(font);
    return font;
}

void Win32Window::measureFont() {
    windowFont_ = fontFor(def_.font);
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, windowFont_);
    TEXTMETRICW tm{};
    GetTextMetricsW(dc, &tm);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    if (tm.tmAveCharWidth > 0) baseX_ = tm.tmAveCharWidth;
    if (tm.tmHeight > 0) baseY_ = tm.tmHeight;
}

RECT Win32Window::controlRect(int field) {
    const Control& c = control(field);
    int x = px(c.x), y = py(c.y), w = px(c.w), h = py(c.h);
    if (has(c, FullSize)) {
        RECT rc;
        GetClientRect(hwnd_, &rc);
        return RECT{0, y, rc.right, std::max<LONG>(y, rc.bottom - statusHeight_)};
    }
    if (w <= 0 || h <= 0) {
        // No size given: what the content needs.
        int chars = inputWidth(c);
        SIZE text{0, 0};
        std::wstring t = widen(c.text);
        HDC dc = GetDC(hwnd_);
        HGDIOBJ old = SelectObject(dc, slots_[std::size_t(field - 1)].font);
        if (!t.empty()) GetTextExtentPoint32W(dc, t.c_str(), int(t.size()), &text);
        SelectObject(dc, old);
        ReleaseDC(hwnd_, dc);
        int dw = 0, dh = 0;
        switch (c.kind) {
            case Kind::Entry: dw = (chars > 0 ? chars : 10) * baseX_ + 8; dh = baseY_ + 6; break;
            case Kind::Button: dw = text.cx + 16 + (c.icon.empty() ? 0 : 20); dh = baseY_ + 10; break;
            case Kind::Check: dw = text.cx + 20; dh = baseY_ + 2; break;
            case Kind::String:
                dw = c.var.type != Var::Type::None ? std::max(chars, 1) * baseX_ : text.cx + 2;
                dh = baseY_;
                break;
            case Kind::Image: {
                BITMAP bm{};
                HBITMAP b = slots_[std::size_t(field - 1)].picture.get();
                if (b && GetObjectW(b, sizeof bm, &bm)) { dw = bm.bmWidth; dh = std::abs(bm.bmHeight); }
                break;
            }
            default: dw = text.cx + 2; dh = baseY_; break;
        }
        if (w <= 0) w = dw;
        if (h <= 0) h = dh;
    }
    return RECT{x, y, x + w, y + h};
}

void Win32Window::createControl(int field) {
    const Control& c = control(field);
    Slot& s = slots_[std::size_t(field - 1)];
    s.font = fontFor(c.font);
    s.text = c.fg != kNoColour ? COLORREF(c.fg) : c.font.colour != kNoColour ? COLORREF(c.font.colour) : CLR_INVALID;
    if (c.bg != kNoColour) {
        s.back = c.bg;
        s.brush.reset(CreateSolidBrush(c.bg));
    }
    if (c.kind == Kind::Image && !s.picture && !s.pictureFailed) s.picture.reset(loadPicture(c.icon));
    if (drawnKind(field)) {
        placeDrawn(field);
        return;
    }

    DWORD style = WS_CHILD | WS_CLIPSIBLINGS, ex = 0;
    if (!s.hidden) style |= WS_VISIBLE;
    if (s.disabled) style |= WS_DISABLED;
    bool tabStop = !has(c, Skip);
    const wchar_t* cls = L"STATIC";
    std::wstring text = widen(c.text);
    bool bound = c.var.type != Var::Type::None;
    switch (c.kind) {
        case Kind::Prompt:
        case Kind::String:
            style |= has(c, Right) ? SS_RIGHT : has(c, Centre) ? SS_CENTER : SS_LEFT;
            if (bound) { style |= SS_NOPREFIX; text.clear(); }
            if (has(c, Boxed)) style |= WS_BORDER;
            break;
        case Kind::Entry:
            cls = L"EDIT";
            ex |= WS_EX_CLIENTEDGE;
            style |= ES_AUTOHSCROLL | (tabStop ? WS_TABSTOP : 0);
            if (has(c, ReadOnly)) style |= ES_READONLY;
            if (has(c, Right)) style |= ES_RIGHT;
            text.clear();
            break;
        case Kind::Button:
            cls = L"BUTTON";
            style |= (has(c, Default) ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON) | (tabStop ? WS_TABSTOP : 0);
            if (has(c, Flat)) style |= BS_FLAT;
            if (text.empty() && !c.icon.empty()) style |= BS_ICON;
            break;
        case Kind::Check:
            cls = L"BUTTON";
            style |= BS_AUTOCHECKBOX | (tabStop ? WS_TABSTOP : 0);
            break;
        case Kind::List:
            cls = WC_LISTVIEWW;
            ex |= WS_EX_CLIENTEDGE;
            style |= LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | (tabStop ? WS_TABSTOP : 0);
            if (c.header.empty()) style |= LVS_NOCOLUMNHEADER;
            text.clear();
            break;
        case Kind::Text:
            cls = L"EDIT";
            ex |= WS_EX_CLIENTEDGE;
            style |= ES_MULTILINE | ES_AUTOVSCROLL | (tabStop ? WS_TABSTOP : 0);
            if (has(c, ReadOnly)) style |= ES_READONLY;
            else style |= ES_WANTRETURN;
            if (has(c, VScroll)) style |= WS_VSCROLL;
            if (has(c, HScroll)) style |= WS_HSCROLL | ES_AUTOHSCROLL;
            text.clear();
            break;
        case Kind::Object:
            cls = kObjectClass;
            style |= WS_CLIPCHILDREN;
            text.clear();
            break;
    }
    RECT rc = controlRect(field);
    s.hwnd = CreateWindowExW(ex, cls, text.c_str(), style, rc.left, rc.top, rc.right - rc.left,
                             rc.bottom - rc.top, hwnd_,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFirstControlId + field)),
                             GetModuleHandleW(nullptr), nullptr);
    if (!s.hwnd) return;
    SendMessageW(s.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(s.font), FALSE);

    switch (c.kind) {
        case Kind::Entry: {
            int width = inputWidth(c);
            if (width > 0 && c.format.kind != Format::Kind::Time) SendMessageW(s.hwnd, EM_LIMITTEXT, WPARAM(width), 0);
            makeSingleLineEntry(s.hwnd, has(c, Upper));
            break;
        }
        case Kind::Text: SendMessageW(s.hwnd, EM_LIMITTEXT, 0, 0); break;  // 0: as much as the system allows
        case Kind::Button:
            skipNonClientPaint(s.hwnd);
            if (!c.icon.empty()) {
                int size = buttonIconSize(!text.empty(), rc.right - rc.left, rc.bottom - rc.top);
                if (!s.icon || s.iconSize != size) s.icon.reset(loadIcon(c.icon, size));
                s.iconSize = size;
                if (s.icon) SendMessageW(s.hwnd, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(s.icon.get()));
            }
            break;
        case Kind::List: {
            SendMessageW(s.hwnd, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
            LVCOLUMNW col{};
            col.mask = LVCF_TEXT | LVCF_WIDTH;
            std::wstring header = widen(c.header);
            col.pszText = &header[0];
            col.cx = c.columnWidth > 0 ? px(c.columnWidth) : rc.right - rc.left - 4;
            SendMessageW(s.hwnd, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&col));
            // A list view keeps its first column left-aligned whatever LVCFMT_CENTER
            // says; the header item itself takes the centring.
            if (has(c, Centre)) {
                HWND headerBar = reinterpret_cast<HWND>(SendMessageW(s.hwnd, LVM_GETHEADER, 0, 0));
                HDITEMW item{};
                item.mask = HDI_FORMAT;
                SendMessageW(headerBar, HDM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
                item.fmt = (item.fmt & ~HDF_JUSTIFYMASK) | HDF_CENTER;
                SendMessageW(headerBar, HDM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
            }
            break;
        }
        case Kind::Object: {
            RECT area{0, 0, rc.right - rc.left, rc.bottom - rc.top};
            s.browser = createBrowserHost(s.hwnd, area, c.objectClass);
            if (!s.browser) {
                s.note = CreateWindowExW(0, L"STATIC", L"Web preglednik nije dostupan.",
                                         WS_CHILD | WS_VISIBLE | SS_CENTER, 0, area.bottom / 2 - baseY_,
                                         area.right, baseY_ * 2, s.hwnd, nullptr, GetModuleHandleW(nullptr), nullptr);
                SendMessageW(s.note, WM_SETFONT, reinterpret_cast<WPARAM>(s.font), FALSE);
            }
            break;
        }
        default: break;
    }
}

// Texts without an access key, pictures and frames take no input: the window
// draws them itself. A child window each would cost its creation and a paint
// of its own, and the window shows only once all have painted. Being the
// window's own paint, they lie under every control: pictures lowest, then
// frames, then texts.
bool Win32Window::drawnKind(int field) const {
    const Control& c = control(field);
    switch (c.kind) {
        case Kind::Image:
        case Kind::Box: return true;
        case Kind::Prompt:
        case Kind::String: return c.var.type != Var::Type::None || c.text.find('&') == std::string::npos;
        default: return false;
    }
}

void Win32Window::placeDrawn(int field) {
    const Control& c = control(field);
    Slot& s = slots_[std::size_t(field - 1)];
    s.drawn = true;
    s.area = controlRect(field);
    if (c.var.type == Var::Type::None) s.shown = widen(c.text);
}

// The tooltip control comes with the first mouse message over the window, and
// the mouse messages reach it from the message loop (not by subclassing every
// control with a tip, which costs each of their messages a property look-up).
void Win32Window::relayToTips(MSG& m) {
    if (!hwnd_) return;
    if (!tips_) {
        bool any = false;
        for (const Control& c : def_.controls) any = any || !c.tip.empty();
        if (!any) return;
        tips_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd_, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
        for (int field = 1; field <= int(slots_.size()); ++field) updateTip(field);
    }
    if (tips_) SendMessageW(tips_, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&m));
}

// A control's tip is its window's; a drawn field's is its place, there only while the
// field is visible and enabled (as a hidden or disabled control takes no mouse).
void Win32Window::updateTip(int field) {
    const Control& c = control(field);
    const Slot& s = slots_[std::size_t(field - 1)];
    if (!tips_ || c.tip.empty() || (!s.hwnd && !s.drawn)) return;
    TOOLINFOW ti{};
    ti.cbSize = TTTOOLINFOW_V2_SIZE;
    ti.hwnd = hwnd_;
    if (s.drawn) {
        ti.uId = UINT_PTR(kFirstControlId + field);
        SendMessageW(tips_, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
        if (s.hidden || s.disabled) return;
        ti.rect = s.area;
    } else {
        ti.uFlags = TTF_IDISHWND;
        ti.uId = reinterpret_cast<UINT_PTR>(s.hwnd);
        SendMessageW(tips_, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
    }
    std::wstring tip = widen(c.tip);
    ti.lpszText = &tip[0];
    SendMessageW(tips_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
}

// A picture's change shows in the transparent controls over it too.
void Win32Window::invalidateDrawn(int field) {
    const Slot& s = slots_[std::size_t(field - 1)];
    if (!hwnd_ || !s.drawn) return;
    UINT flags = RDW_INVALIDATE | (control(field).kind == Kind::Image ? RDW_ALLCHILDREN : 0);
    RedrawWindow(hwnd_, &s.area, nullptr, flags);
}

void Win32Window::open() {
    if (open_) return;
    awaitPreload();
    thread_ = GetCurrentThreadId();
    Win32Window* opener = kit_.innermost(thread_);
    opener_ = opener ? opener->hwnd() : nullptr;
    // A window opens over a visible one, even one still being prepared.
    if (opener) opener->reveal();
    measureFont();

    DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_CLIPCHILDREN;
    if (def_.systemMenu) style |= WS_SYSMENU;
    if (def_.resizable) style |= WS_THICKFRAME;
    if (def_.maximiseBox) style |= WS_MAXIMIZEBOX;
    if (def_.minimiseBox) style |= WS_MINIMIZEBOX;
    std::wstring title = widen(def_.title);
    hwnd_ = CreateWindowExW(WS_EX_CONTROLPARENT, kWindowClass, title.c_str(), style, CW_USEDEFAULT, CW_USEDEFAULT,
                            100, 100, opener_, nullptr, GetModuleHandleW(nullptr), this);
    if (!hwnd_) return;
    SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(windowFont_), FALSE);

    // Background: the wallpaper tiled, else the colour, else the dialog face.
    if (!wallpaper_) wallpaper_.reset(loadPicture(def_.wallpaper));
    if (wallpaper_) ownBrush_.reset(CreatePatternBrush(wallpaper_.get()));
    else if (def_.bg != kNoColour) ownBrush_.reset(CreateSolidBrush(def_.bg));

    if (!bigIcon_ && !smallIcon_) loadWindowIcons();
    HICON big = bigIcon_.get(), small = smallIcon_.get();
    if (big) SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
    if (small) SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));

    if (!def_.statusZones.empty()) {
        status_ = CreateWindowExW(0, STATUSCLASSNAMEW, L"", WS_CHILD | WS_VISIBLE | (def_.resizable ? SBARS_SIZEGRIP : 0),
                                  0, 0, 0, 0, hwnd_, nullptr, GetModuleHandleW(nullptr), nullptr);
        SendMessageW(status_, WM_SETFONT, reinterpret_cast<WPARAM>(windowFont_), FALSE);
        std::vector<int> edges;
        int right = 0;
        for (int zone : def_.statusZones) edges.push_back(right += px(zone));
        edges.back() = -1;  // the last zone takes the rest of the bar
        SendMessageW(status_, SB_SETPARTS, WPARAM(edges.size()), reinterpret_cast<LPARAM>(edges.data()));
        RECT sr;
        GetWindowRect(status_, &sr);
        statusHeight_ = sr.bottom - sr.top;
    }

    // The definition's size is the client area above the status bar.
    RECT frame{0, 0, px(def_.w), py(def_.h) + statusHeight_};
    AdjustWindowRectEx(&frame, style, FALSE, WS_EX_CONTROLPARENT);
    int width = frame.right - frame.left, height = frame.bottom - frame.top;
    UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
    int x = 0, y = 0;
    if (def_.centred) {
        RECT work;
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
        x = work.left + (work.right - work.left - width) / 2;
        y = work.top + (work.bottom - work.top - height) / 2;
    } else {
        flags |= SWP_NOMOVE;
    }
    SetWindowPos(hwnd_, nullptr, x, y, width, height, flags);
    if (status_) SendMessageW(status_, WM_SIZE, 0, 0);
    for (auto& [zone, text] : statusTexts_) setStatusText(zone, text);

    for (int field = 1; field <= int(slots_.size()); ++field) createControl(field);
    // Embedded objects lie under the other controls (as the drawn pictures and frames
    // do), a later one over an earlier one; the others keep their declaration order,
    // which is also the Tab order. So buttons placed over a browser stay visible and
    // take the mouse.
    for (int field = int(slots_.size()); field >= 1; --field) {
        if (control(field).kind == Kind::Object && slots_[std::size_t(field - 1)].hwnd)
            SetWindowPos(slots_[std::size_t(field - 1)].hwnd, HWND_BOTTOM, 0, 0, 0, 0,
                         SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    if (def_.timer > 0) SetTimer(hwnd_, kTimerId, UINT(def_.timer) * 10, nullptr);

    kit_.opened(this);
    open_ = true;
    queue(EVENT_OpenWindow);
    // A window opened over another of this thread is modal to it.
    if (opener_) EnableWindow(opener_, FALSE);
    RECT rc;
    GetClientRect(hwnd_, &rc);
    client_ = SIZE{rc.right, rc.bottom};
    // Shown when the procedure first waits for an event: the user's first
    // frame is the prepared window, painted once.
    revealPending_ = true;
    openedAt_ = GetTickCount64();
}

void Win32Window::reveal() {
    if (!revealPending_ || !hwnd_) return;
    revealPending_ = false;
    // Shown without erasing first: each control is erased as it paints, not once
    // more before (with some thirty controls that doubles the first paint).
    if (def_.iconised) ShowWindow(hwnd_, SW_SHOWMINIMIZED);
    else SetWindowPos(hwnd_, nullptr, 0, 0, 0, 0, SWP_SHOWWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_DEFERERASE);
    UpdateWindow(hwnd_);
    shown_ = true;
}

void Win32Window::close() {
    if (!open_) return;
    open_ = false;
    shown_ = revealPending_ = false;
    KillTimer(hwnd_, kTimerId);
    kit_.closed(this);
    // The opener comes back before this window goes, so activation returns to it.
    if (opener_ && IsWindow(opener_)) EnableWindow(opener_, TRUE);
    for (Slot& s : slots_) s.browser.reset();  // OLE objects go while their area exists
    releaseAccessible(accessible_);
    HWND gone = hwnd_;
    {
        std::lock_guard<std::mutex> lock(queueMutex_);
        hwnd_ = nullptr;
        queue_.clear();  // a closed window has no more events
    }
    SetWindowLongPtrW(gone, GWLP_USERDATA, 0);
    DestroyWindow(gone);  // children and the tooltip window with it
    for (Slot& s : slots_) {
        s.hwnd = nullptr;
        s.drawn = false;
        s.note = nullptr;
        s.picture.reset();
        s.pictureFailed = false;  // a window opened again tries its pictures again
        s.scaled.reset();
        s.icon.reset();
        s.brush.reset();
        s.font = nullptr;
        s.shown.clear();
        s.modified = false;
    }
    status_ = tips_ = lastFocus_ = nullptr;
    fonts_.clear();
    windowFont_ = nullptr;
    ownBrush_.reset();
    wallpaper_.reset();
    backdropBrush_.reset();
    backdropStale_ = true;
    bigIcon_.reset();
    smallIcon_.reset();
    if (opener_ && IsWindow(opener_)) {
        SetForegroundWindow(opener_);
        SetActiveWindow(opener_);
    }
    opener_ = nullptr;
}

// --- the queue ---

void Win32Window::queue(int code, int field) {
    Event e;
    e.code = code;
    e.field = field;
    post(e);
}

void Win32Window::post(const Event& e) {
    std::lock_guard<std::mutex> lock(queueMutex_);
    // Like WM_TIMER itself, ticks do not pile up while a nested window runs.
    if (e.code == EVENT_Timer)
        for (const Event& queued : queue_)
            if (queued.code == EVENT_Timer) return;
    queue_.push_back(e);
    if (hwnd_) PostMessageW(hwnd_, kWakeMessage, 0, 0);
    else if (thread_) PostThreadMessageW(thread_, kWakeMessage, 0, 0);
}

void Win32Window::requestRedraw() {
    std::lock_guard<std::mutex> lock(queueMutex_);
    if (hwnd_ && !redrawPending_.exchange(true)) PostMessageW(hwnd_, kRedrawMessage, 0, 0);
}

void Win32Window::dispatch(MSG& m) {
    // Tab, Enter and mnemonics as in a dialog, for whichever of our windows the message is for.
    HWND root = m.hwnd ? GetAncestor(m.hwnd, GA_ROOT) : nullptr;
    if (root && m.message >= WM_MOUSEFIRST && m.message <= WM_MOUSELAST && isToolkitWindow(root)) {
        auto* owner = reinterpret_cast<Win32Window*>(GetWindowLongPtrW(root, GWLP_USERDATA));
        if (owner && owner->hwnd_ == root) owner->relayToTips(m);
    }
    if (root && isToolkitWindow(root) && IsDialogMessageW(root, &m)) return;
    TranslateMessage(&m);
    DispatchMessageW(&m);
}

Event Win32Window::next() {
    for (;;) {
        if (!open_) return Event{};
        Event e;
        bool taken = false;
        {
            std::lock_guard<std::mutex> lock(queueMutex_);
            if (!queue_.empty()) {
                e = queue_.front();
                queue_.pop_front();
                taken = true;
            }
        }
        if (taken) {
            // However the window closes (close box, Alt-F4, a posted close), the entry
            // being typed in is completed first, as leaving it would: its event is
            // handled now and the close right after it.
            if (e.code == EVENT_CloseWindow) {
                std::vector<Event> first = completeAll();
                if (!first.empty()) {
                    std::lock_guard<std::mutex> lock(queueMutex_);
                    queue_.push_front(e);
                    queue_.insert(queue_.begin(), first.begin() + 1, first.end());
                    return first.front();
                }
            }
            return e;
        }
        reveal();
        MSG m;
        BOOL got = GetMessageW(&m, nullptr, 0, 0);
        if (got == 0) {
            PostQuitMessage(int(m.wParam));  // leave it for the outer loops too
            return Event{};
        }
        if (got < 0) return Event{};
        dispatch(m);
    }
}

// --- fields ---

int Win32Window::fieldOf(HWND child) const {
    if (!child) return 0;
    int id = GetDlgCtrlID(child) - kFirstControlId;
    if (!valid(id) || slots_[std::size_t(id - 1)].hwnd != child) return 0;
    return id;
}

void Win32Window::setText(int field, const std::wstring& text) {
    Slot& s = slots_[std::size_t(field - 1)];
    if (s.drawn) {
        if (text == s.shown) return;
        s.shown = text;
        invalidateDrawn(field);
        return;
    }
    if (!s.hwnd) return;
    if (text == s.shown && text == windowText(s.hwnd)) return;
    updating_ = true;
    SetWindowTextW(s.hwnd, text.c_str());
    updating_ = false;
    s.shown = text;
}

void Win32Window::fillList(int field) {
    const Control& c = control(field);
    Slot& s = slots_[std::size_t(field - 1)];
    if (c.var.type != Var::Type::Rows || !c.var.p) return;
    const auto& rows = *static_cast<const std::vector<uint32_t>*>(c.var.p);
    int selected = int(SendMessageW(s.hwnd, LVM_GETNEXTITEM, WPARAM(-1), LVNI_SELECTED));
    updating_ = true;
    SendMessageW(s.hwnd, WM_SETREDRAW, FALSE, 0);
    SendMessageW(s.hwnd, LVM_DELETEALLITEMS, 0, 0);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        uint32_t value = rows[i];
        std::wstring text = widen(formatValue(Var::of(value), c.format));
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.iItem = int(i);
        item.pszText = &text[0];
        SendMessageW(s.hwnd, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    }
    if (selected >= 0 && selected < int(rows.size())) {
        LVITEMW state{};
        state.stateMask = state.state = LVIS_SELECTED | LVIS_FOCUSED;
        SendMessageW(s.hwnd, LVM_SETITEMSTATE, WPARAM(selected), reinterpret_cast<LPARAM>(&state));
    }
    SendMessageW(s.hwnd, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(s.hwnd, nullptr, TRUE);
    updating_ = false;
}

void Win32Window::show(int field) {
    const Control& c = control(field);
    Slot& s = slots_[std::size_t(field - 1)];
    if ((!s.hwnd && !s.drawn) || c.var.type == Var::Type::None) return;
    switch (c.kind) {
        case Kind::String:
        case Kind::Prompt:
        case Kind::Entry:
            setText(field, widen(formatValue(c.var, c.format)));
            s.modified = false;
            break;
        case Kind::Check:
            SendMessageW(s.hwnd, BM_SETCHECK, formatValue(c.var, Format::check()) == "1" ? BST_CHECKED : BST_UNCHECKED, 0);
            break;
        case Kind::List: fillList(field); break;
        case Kind::Text:
            setText(field, toScreenLines(widen(formatValue(c.var, Format::text(0)))));
            s.modified = false;
            break;
        default: break;
    }
}

void Win32Window::display(int first, int last) {
    if (first == 0 && last == 0) {
        first = 1;
        last = int(slots_.size());
    }
    for (int f = std::max(first, 1); f <= last && f <= int(slots_.size()); ++f) show(f);
}

void Win32Window::redrawDisplays() {
    redrawPending_ = false;
    if (!open_) return;
    for (int f = 1; f <= int(slots_.size()); ++f)
        if (control(f).kind == Kind::String && control(f).var.type != Var::Type::None) show(f);
}

bool Win32Window::canFocus(int field) const {
    const Slot& s = slots_[std::size_t(field - 1)];
    switch (control(field).kind) {
        case Kind::Entry: case Kind::Button: case Kind::Check: case Kind::List: case Kind::Text: case Kind::Object: break;
        default: return false;
    }
    // Before the window shows, the control's own state: the window's is not yet the user's.
    bool visible = revealPending_ ? (GetWindowLongPtrW(s.hwnd, GWL_STYLE) & WS_VISIBLE) != 0 : IsWindowVisible(s.hwnd);
    return s.hwnd && visible && IsWindowEnabled(s.hwnd);
}

void Win32Window::select(int field) {
    if (!open_ || slots_.empty() || !valid(field)) return;
    // A prompt or string cannot take the focus: the next control that can.
    int n = int(slots_.size());
    for (int i = 0; i < n; ++i) {
        int f = (field - 1 + i) % n + 1;
        if (!canFocus(f)) continue;
        HWND h = slots_[std::size_t(f - 1)].hwnd;
        // A window not yet shown cannot be active: its activation gives the focus to the control.
        if (revealPending_) lastFocus_ = h;
        else SetFocus(h);
        if (control(f).kind == Kind::Entry) SendMessageW(h, EM_SETSEL, 0, -1);
        return;
    }
}

void Win32Window::setEnabled(int field, bool on) {
    if (!valid(field)) return;
    Slot& s = slots_[std::size_t(field - 1)];
    bool changed = s.disabled == on;
    s.disabled = !on;
    if (s.hwnd) EnableWindow(s.hwnd, on);
    if (s.drawn && changed) {
        invalidateDrawn(field);
        updateTip(field);
    }
}

void Win32Window::setHidden(int field, bool hidden) {
    if (!valid(field)) return;
    Slot& s = slots_[std::size_t(field - 1)];
    if (s.drawn) {
        if (s.hidden == hidden) return;
        s.hidden = hidden;
        if (control(field).kind == Kind::Image) backdropStale_ = true;
        invalidateDrawn(field);
        updateTip(field);
        return;
    }
    s.hidden = hidden;
    if (s.hwnd) ShowWindow(s.hwnd, hidden ? SW_HIDE : SW_SHOWNA);
}

bool Win32Window::isEnabled(int field) const {
    if (!valid(field)) return false;
    const Slot& s = slots_[std::size_t(field - 1)];
    return s.hwnd ? IsWindowEnabled(s.hwnd) != FALSE : !s.disabled;
}

bool Win32Window::isHidden(int field) const {
    if (!valid(field)) return true;
    const Slot& s = slots_[std::size_t(field - 1)];
    return s.hwnd ? (GetWindowLongPtrW(s.hwnd, GWL_STYLE) & WS_VISIBLE) == 0 : s.hidden;
}

void Win32Window::setStatusText(int zone, const std::string& text) {
    if (zone < 1) return;
    statusTexts_[zone] = text;
    if (!status_) return;
    std::wstring w = widen(text);
    SendMessageW(status_, SB_SETTEXTW, WPARAM(zone - 1), reinterpret_cast<LPARAM>(w.c_str()));
}

int Win32Window::selectedRow(int field) const {
    if (!valid(field) || control(field).kind != Kind::List) return 0;
    HWND h = slots_[std::size_t(field - 1)].hwnd;
    if (!h) return 0;
    return int(SendMessageW(h, LVM_GETNEXTITEM, WPARAM(-1), LVNI_SELECTED)) + 1;
}

Browser* Win32Window::browser(int field) {
    if (!valid(field)) return nullptr;
    return slots_[std::size_t(field - 1)].browser.get();
}

void Win32Window::setWindowHidden(bool hidden) {
    if (!hwnd_) return;
    revealPending_ = false;  // the program decides from now on
    ShowWindow(hwnd_, hidden ? SW_HIDE : SW_SHOW);
    shown_ = true;
}

bool Win32Window::isWindowHidden() const { return !hwnd_ || !IsWindowVisible(hwnd_); }

void Win32Window::activate(bool on) {
    if (!hwnd_) return;
    if (on) {
        BringWindowToTop(hwnd_);
        SetForegroundWindow(hwnd_);
        SetActiveWindow(hwnd_);
    } else if (GetActiveWindow() == hwnd_) {
        // Activation passes to the next enabled top-level window.
        for (HWND h = GetWindow(hwnd_, GW_HWNDNEXT); h; h = GetWindow(h, GW_HWNDNEXT)) {
            if (IsWindowVisible(h) && IsWindowEnabled(h) && !GetParent(h)) {
                SetActiveWindow(h);
                break;
            }
        }
    }
}

// What an assistive aid reads of a field the window draws (see window_accessible.h).
int Win32Window::fieldCount() const { return int(slots_.size()); }

bool Win32Window::drawnElement(int field, DrawnElement& out) const {
    if (!valid(field) || !slots_[std::size_t(field - 1)].drawn) return false;
    const Control& c = control(field);
    const Slot& s = slots_[std::size_t(field - 1)];
    out.role = c.kind == Kind::Image ? ROLE_SYSTEM_GRAPHIC : c.kind == Kind::Box ? ROLE_SYSTEM_GROUPING : ROLE_SYSTEM_STATICTEXT;
    // A picture shows no text: its tip says what it is.
    out.name = c.kind == Kind::Image ? widen(c.tip) : c.kind == Kind::Box ? widen(c.text) : s.shown;
    out.description = widen(c.tip);
    out.hidden = s.hidden;
    out.disabled = s.disabled;
    out.area = s.area;
    return true;
}

void Win32Window::layout() {
    if (status_) SendMessageW(status_, WM_SIZE, 0, 0);
    for (int f = 1; f <= int(slots_.size()); ++f) {
        const Control& c = control(f);
        Slot& s = slots_[std::size_t(f - 1)];
        if (!has(c, FullSize)) continue;
        if (s.drawn) {
            invalidateDrawn(f);
            s.area = controlRect(f);
            if (c.kind == Kind::Image) backdropStale_ = true;
            invalidateDrawn(f);
            updateTip(f);
            continue;
        }
        if (!s.hwnd) continue;
        RECT rc = controlRect(f);
        MoveWindow(s.hwnd, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, TRUE);
        if (c.kind == Kind::Image) backdropStale_ = true;
        RECT area{0, 0, rc.right - rc.left, rc.bottom - rc.top};
        if (s.browser) s.browser->resize(area);
        if (s.note) MoveWindow(s.note, 0, area.bottom / 2 - baseY_, area.right, baseY_ * 2, TRUE);
    }
}

}  // namespace ui::win32
