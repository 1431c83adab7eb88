// Finding a visible top-level window of this test process by class and/or
// title: the Wine tests look for the windows their own threads open.
#pragma once
#include <windows.h>

namespace vx::testing {

struct OwnWindowSearch {
    const wchar_t* cls;    // null: any class
    const wchar_t* title;  // null: any title
    HWND found;
};

inline BOOL CALLBACK matchOwnWindow(HWND h, LPARAM p) {
    auto* s = reinterpret_cast<OwnWindowSearch*>(p);
    DWORD pid = 0;
    GetWindowThreadProcessId(h, &pid);
    if (pid != GetCurrentProcessId() || !IsWindowVisible(h)) return TRUE;
    wchar_t text[256] = {};
    if (s->cls) {
        GetClassNameW(h, text, 256);
        if (lstrcmpW(text, s->cls) != 0) return TRUE;
    }
    if (s->title) {
        GetWindowTextW(h, text, 256);
        if (lstrcmpW(text, s->title) != 0) return TRUE;
    }
    s->found = h;
    return FALSE;
}

inline HWND findOwnWindow(const wchar_t* cls, const wchar_t* title) {
    OwnWindowSearch s{cls, title, nullptr};
    EnumWindows(matchOwnWindow, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

}  // namespace vx::testing
