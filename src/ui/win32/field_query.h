// How another process (an accessibility aid, a test driver) reads a field the
// window draws itself and so has no child window to ask: it sends the window
// the registered message kFieldQueryName with the field number in wParam and
// a window of its own, of class kFieldQueryReplyClass, in lParam. The window
// answers with a WM_COPYDATA sent to that window (wParam: the window asked;
// dwData: kFieldQueryReply, the field number shifted left by 4 and the state
// bits; the data: the field's text in UTF-16, no terminator) and returns 1; 0
// when the field has a window of its own (ID 1000 + field) or does not exist.
#pragma once
#include <windows.h>

#include <string>

namespace ui::win32 {

constexpr wchar_t kFieldQueryName[] = L"VxToolkitFieldQuery";
constexpr ULONG_PTR kFieldQueryReply = 0x56460000;  // high word: "VF"
constexpr ULONG_PTR kFieldVisible = 1, kFieldEnabled = 2;
constexpr wchar_t kFieldQueryReplyClass[] = L"VxFieldQueryReply";

inline ULONG_PTR fieldQueryTag(int field) { return kFieldQueryReply | (ULONG_PTR(field & 0xFFF) << 4); }

struct DrawnField {
    std::wstring text;
    bool visible = false, enabled = false;
};

namespace field_query_detail {
// The question being asked: only its own answer is taken (a late answer to an
// earlier one that timed out is not).
inline DrawnField* pending = nullptr;
inline HWND asked = nullptr;
inline int askedField = 0;
inline bool answered = false;

inline LRESULT CALLBACK replyProc(HWND h, UINT msg, WPARAM w, LPARAM l) {
    if (msg == WM_COPYDATA && pending && reinterpret_cast<HWND>(w) == asked) {
        auto* data = reinterpret_cast<const COPYDATASTRUCT*>(l);
        if ((data->dwData & ~ULONG_PTR(0xF)) == fieldQueryTag(askedField)) {
            answered = true;
            pending->visible = (data->dwData & kFieldVisible) != 0;
            pending->enabled = (data->dwData & kFieldEnabled) != 0;
            pending->text.clear();
            if (data->lpData && data->cbData)
                pending->text.assign(static_cast<const wchar_t*>(data->lpData), data->cbData / sizeof(wchar_t));
            return TRUE;
        }
    }
    return DefWindowProcW(h, msg, w, l);
}
}  // namespace field_query_detail

// The asking side: true and `out` filled when `window` draws `field` itself.
// One question at a time, from the thread that asked first (the reply window is its).
inline bool queryDrawnField(HWND window, int field, DrawnField& out) {
    namespace d = field_query_detail;
    static const UINT query = RegisterWindowMessageW(kFieldQueryName);
    static HWND receiver = [] {
        WNDCLASSW wc{};
        wc.lpfnWndProc = d::replyProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = kFieldQueryReplyClass;
        RegisterClassW(&wc);
        return CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
    }();
    DrawnField reply;
    d::pending = &reply;
    d::asked = window;
    d::askedField = field;
    d::answered = false;
    DWORD_PTR result = 0;
    BOOL sent = SendMessageTimeoutW(window, query, WPARAM(field), reinterpret_cast<LPARAM>(receiver), SMTO_ABORTIFHUNG,
                                    5000, &result);
    d::pending = nullptr;
    if (!sent || result != 1 || !d::answered) return false;
    out = reply;
    return true;
}

}  // namespace ui::win32
