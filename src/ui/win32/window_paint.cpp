// A toolkit window's own paint: the backdrop (background and pictures,
// composed once per size), the frames and texts it draws itself, and the
// colours of its child controls.
#include <algorithm>

#include "ui/win32/images.h"
#include "ui/win32/win32_window.h"

namespace ui::win32 {
COLORREF Win32Window::backgroundColour() const {
    return def_.bg != kNoColour ? COLORREF(def_.bg) : GetSysColor(COLOR_BTNFACE);
}

HBRUSH Win32Window::backgroundBrush() const {
    return ownBrush_ ? ownBrush_.get() : GetSysColorBrush(COLOR_BTNFACE);
}

void Win32Window::paintBackground(HDC dc, const RECT& rc, POINT origin) {
    POINT old;
    SetBrushOrgEx(dc, origin.x, origin.y, &old);
    FillRect(dc, &rc, backgroundBrush());
    SetBrushOrgEx(dc, old.x, old.y, nullptr);
}

LRESULT Win32Window::colourControl(UINT msg, HDC dc, HWND child) {
    int field = fieldOf(child);
    if (!field) return DefWindowProcW(hwnd_, msg, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(child));
    const Control& c = control(field);
    Slot& s = slots_[std::size_t(field - 1)];
    if (s.text != CLR_INVALID) SetTextColor(dc, s.text);
    if (s.brush) {
        SetBkColor(dc, s.back);
        return reinterpret_cast<LRESULT>(s.brush.get());
    }
    bool onWindow = msg == WM_CTLCOLORSTATIC || msg == WM_CTLCOLORBTN || has(c, Transparent);
    if (!onWindow) {
        if (s.text == CLR_INVALID)
            return DefWindowProcW(hwnd_, msg, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(child));
        SetBkColor(dc, GetSysColor(COLOR_WINDOW));
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
    }
    // The window's own background behind the control, aligned with the window's.
    SetBkColor(dc, backgroundColour());
    if (has(c, Transparent) || wallpaper_) SetBkMode(dc, TRANSPARENT);
    POINT pt{0, 0};
    MapWindowPoints(child, hwnd_, &pt, 1);
    SetBrushOrgEx(dc, -pt.x, -pt.y, nullptr);
    // What lies beneath a transparent one: the background and the pictures.
    if (has(c, Transparent)) return reinterpret_cast<LRESULT>(backdropBrush());
    return reinterpret_cast<LRESULT>(backgroundBrush());
}

int Win32Window::boxRadius(const Control& c) const { return has(c, Rounded) ? std::max(6, baseX_ * 2) : 0; }

HBITMAP Win32Window::scaledPicture(int field, SIZE size) {
    Slot& s = slots_[std::size_t(field - 1)];
    if (!s.picture || size.cx <= 0 || size.cy <= 0) return nullptr;
    if (s.scaled && s.scaledSize.cx == size.cx && s.scaledSize.cy == size.cy) return s.scaled.get();
    // Scaled once per size, not on every paint.
    s.scaled.reset(scaledCopy(s.picture.get(), size.cx, size.cy));
    s.scaledSize = size;
    return s.scaled.get();
}

HBRUSH Win32Window::backdropBrush() {
    RECT client;
    GetClientRect(hwnd_, &client);
    SIZE size{std::max<LONG>(client.right, 1), std::max<LONG>(client.bottom, 1)};
    if (backdropBrush_ && !backdropStale_ && size.cx == backdropSize_.cx && size.cy == backdropSize_.cy)
        return backdropBrush_.get();
    // Composed on a bitmap of the program's own (one compatible with the window
    // would cost a device context of the window's besides the one it paints
    // with); the brush keeps a copy, so the bitmap goes at once.
    BitmapHandle canvas(newCanvas(size.cx, size.cy));
    HDC mem = CreateCompatibleDC(nullptr), picture = CreateCompatibleDC(nullptr);
    HGDIOBJ oldMem = SelectObject(mem, canvas.get());
    RECT all{0, 0, size.cx, size.cy};
    paintBackground(mem, all, POINT{0, 0});
    // A later picture lies over an earlier one, as their controls do.
    for (int f = 1; f <= int(slots_.size()); ++f) {
        const Slot& p = slots_[std::size_t(f - 1)];
        if (control(f).kind != Kind::Image || !p.drawn || p.hidden) continue;
        RECT r = p.area;
        if (!p.picture) {  // a missing picture leaves its place plain
            paintBackground(mem, r, POINT{0, 0});
            continue;
        }
        HBITMAP scaled = scaledPicture(f, SIZE{r.right - r.left, r.bottom - r.top});
        if (!scaled) continue;
        HGDIOBJ old = SelectObject(picture, scaled);
        BitBlt(mem, r.left, r.top, r.right - r.left, r.bottom - r.top, picture, 0, 0, SRCCOPY);
        SelectObject(picture, old);
    }
    SelectObject(mem, oldMem);
    DeleteDC(picture);
    DeleteDC(mem);
    backdropBrush_.reset(canvas ? CreatePatternBrush(canvas.get()) : nullptr);
    backdropSize_ = size;
    backdropStale_ = false;
    return backdropBrush_.get();
}

// Draws the part `rc` (client coordinates) of the client area into `dc`: the
// backdrop (background and pictures), then the frames, then the texts, each
// drawn straight over it as a static control would draw itself.
void Win32Window::paintArea(HDC dc, const RECT& rc) {
    if (rc.right <= rc.left || rc.bottom <= rc.top) return;
    // Brush origins are in device units: the client's corner wherever the DC puts it.
    POINT origin{0, 0};
    LPtoDP(dc, &origin, 1);
    POINT oldOrigin;
    SetBrushOrgEx(dc, origin.x, origin.y, &oldOrigin);
    HBRUSH backdrop = backdropBrush();
    if (backdrop) FillRect(dc, &rc, backdrop);
    else paintBackground(dc, rc, origin);
    // Pictures are in the backdrop; frames first, texts over them.
    for (bool frames : {true, false}) {
        for (int f = 1; f <= int(slots_.size()); ++f) {
            const Slot& s = slots_[std::size_t(f - 1)];
            Kind k = control(f).kind;
            RECT overlap;
            if (!s.drawn || s.hidden || k == Kind::Image || (k == Kind::Box) != frames ||
                !IntersectRect(&overlap, &s.area, &rc))
                continue;
            drawField(dc, f, origin);
        }
    }
    SetBrushOrgEx(dc, oldOrigin.x, oldOrigin.y, nullptr);
}

void Win32Window::paintWindow() {
    PAINTSTRUCT ps;
    painting_ = true;
    HDC dc = BeginPaint(hwnd_, &ps);
    painting_ = false;
    if (dc) paintArea(dc, ps.rcPaint);
    EndPaint(hwnd_, &ps);
}

// The part of the client area a DC lets through, in client coordinates.
RECT Win32Window::drawablePart(HDC dc) const {
    RECT rc, clip;
    GetClientRect(hwnd_, &rc);
    int kind = GetClipBox(dc, &clip);
    if (kind == NULLREGION) return RECT{0, 0, 0, 0};
    if (kind != ERROR) IntersectRect(&rc, &rc, &clip);
    return rc;
}

// An erase outside the paint: showing or restoring the window erases at once
// and paints later from the queue, so the erase draws the fields as well, or
// the frame between shows the bare background. On the window's own DC what it
// drew is done, and the paint that would draw it again is spared.
void Win32Window::eraseWithFields(HDC dc) {
    RECT rc = drawablePart(dc);
    int saved = SaveDC(dc);  // the DC may be another's: its state goes back as it was
    paintArea(dc, rc);
    RestoreDC(dc, saved);
    if (!IsRectEmpty(&rc) && WindowFromDC(dc) == hwnd_) ValidateRect(hwnd_, &rc);
}

// What the paint draws, into a DC of someone else's (PrintWindow, the system's
// captures, a themed control drawing its parent beneath it). The backdrop is
// part of it, so PRF_ERASEBKGND adds nothing.
void Win32Window::printClient(HDC dc, LPARAM flags) {
    if (!(flags & PRF_CLIENT)) return;
    int saved = SaveDC(dc);
    paintArea(dc, drawablePart(dc));
    RestoreDC(dc, saved);
}

void Win32Window::drawField(HDC dc, int field, POINT origin) {
    const Control& c = control(field);
    Slot& s = slots_[std::size_t(field - 1)];
    RECT rc = s.area;
    if (c.kind == Kind::Box) {
        int r = boxRadius(c), top = rc.top + (c.text.empty() ? 0 : baseY_ / 2);
        if (s.brush) {  // a coloured frame: a band of the colour along the edge
            HRGN ring = CreateRoundRectRgn(rc.left, top, rc.right + 1, rc.bottom + 1, r, r);
            HRGN inner = CreateRoundRectRgn(rc.left + 3, top + 3, rc.right - 2, rc.bottom - 2, r, r);
            CombineRgn(ring, ring, inner, RGN_DIFF);
            FillRgn(dc, ring, s.brush.get());
            DeleteObject(inner);
            DeleteObject(ring);
        }
        COLORREF line = s.text != CLR_INVALID ? s.text : GetSysColor(COLOR_BTNSHADOW);
        HPEN pen = CreatePen(PS_SOLID, 1, line);
        HGDIOBJ oldPen = SelectObject(dc, pen);
        HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
        if (has(c, Rounded)) RoundRect(dc, rc.left, top, rc.right, rc.bottom, r, r);
        else Rectangle(dc, rc.left, top, rc.right, rc.bottom);
        SelectObject(dc, oldBrush);
        SelectObject(dc, oldPen);
        DeleteObject(pen);
        if (!c.text.empty()) {
            std::wstring t = L" " + widen(c.text) + L" ";
            HGDIOBJ oldFont = SelectObject(dc, s.font);
            SetBkMode(dc, TRANSPARENT);
            SetTextColor(dc, s.text != CLR_INVALID ? s.text : GetSysColor(COLOR_WINDOWTEXT));
            RECT tr{rc.left + baseX_, rc.top, rc.right - baseX_, rc.top + baseY_};
            SIZE ext{};
            GetTextExtentPoint32W(dc, t.c_str(), int(t.size()), &ext);
            RECT fill{tr.left, tr.top, std::min<LONG>(tr.right, tr.left + ext.cx), tr.bottom};
            paintBackground(dc, fill, origin);
            DrawTextW(dc, t.c_str(), int(t.size()), &tr, DT_LEFT | DT_SINGLELINE | DT_NOPREFIX);
            SelectObject(dc, oldFont);
        }
        return;
    }
    // A text as a static control shows it: on its colour, else the window's
    // background unless transparent; wrapped at words; grey when disabled.
    if (s.brush) FillRect(dc, &rc, s.brush.get());
    else if (!has(c, Transparent)) paintBackground(dc, rc, origin);
    if (has(c, Boxed)) {
        FrameRect(dc, &rc, GetSysColorBrush(COLOR_WINDOWFRAME));
        InflateRect(&rc, -1, -1);
    }
    HGDIOBJ oldFont = SelectObject(dc, s.font);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, s.disabled ? GetSysColor(COLOR_GRAYTEXT) : s.text != CLR_INVALID ? s.text : GetSysColor(COLOR_WINDOWTEXT));
    UINT format = (has(c, Right) ? DT_RIGHT : has(c, Centre) ? DT_CENTER : DT_LEFT) | DT_WORDBREAK | DT_EXPANDTABS;
    if (c.var.type != Var::Type::None) format |= DT_NOPREFIX;
    DrawTextW(dc, s.shown.c_str(), int(s.shown.size()), &rc, format);
    SelectObject(dc, oldFont);
}

}  // namespace ui::win32
