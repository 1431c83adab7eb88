// Windows-1250 <-> UTF-16 at the screen edge, and the owners of the GDI and
// USER handles the toolkit creates.
#pragma once
#include <windows.h>

#include <memory>
#include <string>
#include <type_traits>

namespace ui::win32 {

// The program's text is single-byte Windows-1250; the screen is Unicode.
inline std::wstring widen(const std::string& s) {
    if (s.empty()) return {};
    int n = MultiByteToWideChar(1250, 0, s.data(), int(s.size()), nullptr, 0);
    std::wstring w(std::size_t(n), L'\0');
    MultiByteToWideChar(1250, 0, s.data(), int(s.size()), &w[0], n);
    return w;
}

inline std::string narrow(const std::wstring& w) {
    if (w.empty()) return {};
    int n = WideCharToMultiByte(1250, 0, w.data(), int(w.size()), nullptr, 0, nullptr, nullptr);
    std::string s(std::size_t(n), '\0');
    WideCharToMultiByte(1250, 0, w.data(), int(w.size()), &s[0], n, nullptr, nullptr);
    return s;
}

inline std::wstring windowText(HWND h) {
    int n = GetWindowTextLengthW(h);
    std::wstring w(std::size_t(n) + 1, L'\0');
    n = GetWindowTextW(h, &w[0], n + 1);
    w.resize(std::size_t(n > 0 ? n : 0));
    return w;
}

struct GdiDelete {
    void operator()(void* h) const { if (h) DeleteObject(static_cast<HGDIOBJ>(h)); }
};
struct IconDelete {
    void operator()(HICON h) const { if (h) DestroyIcon(h); }
};
struct MenuDelete {
    void operator()(HMENU h) const { if (h) DestroyMenu(h); }
};
struct WindowDelete {
    void operator()(HWND h) const { if (h && IsWindow(h)) DestroyWindow(h); }
};

using FontHandle = std::unique_ptr<std::remove_pointer_t<HFONT>, GdiDelete>;
using BrushHandle = std::unique_ptr<std::remove_pointer_t<HBRUSH>, GdiDelete>;
using BitmapHandle = std::unique_ptr<std::remove_pointer_t<HBITMAP>, GdiDelete>;
using IconHandle = std::unique_ptr<std::remove_pointer_t<HICON>, IconDelete>;
using MenuHandle = std::unique_ptr<std::remove_pointer_t<HMENU>, MenuDelete>;
using WindowHandle = std::unique_ptr<std::remove_pointer_t<HWND>, WindowDelete>;

}  // namespace ui::win32
