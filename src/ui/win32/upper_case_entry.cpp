// An upper-case entry: a subclass of the system's edit control.
#include "ui/win32/upper_case_entry.h"

#include <commctrl.h>

#include <string>

namespace ui::win32 {
namespace {

// An upper-case entry: letters the user types or pastes become capitals.
// Not ES_UPPERCASE, which also converts the text the program puts there:
// the entry must show exactly what its variable holds.
LRESULT CALLBACK upperCaseEntryProc(HWND h, UINT msg, WPARAM w, LPARAM l, UINT_PTR, DWORD_PTR) {
    if (msg == WM_CHAR && w >= L' ') {
        wchar_t ch[2] = {wchar_t(w), 0};
        CharUpperW(ch);
        w = ch[0];
    } else if (msg == WM_PASTE && !(GetWindowLongPtrW(h, GWL_STYLE) & ES_READONLY)) {
        std::wstring text;
        if (IsClipboardFormatAvailable(CF_UNICODETEXT) && OpenClipboard(h)) {
            if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
                if (auto* p = static_cast<const wchar_t*>(GlobalLock(data))) {
                    text = p;
                    GlobalUnlock(data);
                }
            }
            CloseClipboard();
        }
        if (text.empty()) return 0;
        CharUpperBuffW(&text[0], DWORD(text.size()));
        SendMessageW(h, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
        return 0;
    } else if (msg == WM_NCDESTROY) {
        RemoveWindowSubclass(h, upperCaseEntryProc, 0);
    }
    return DefSubclassProc(h, msg, w, l);
}

}  // namespace

void makeUpperCaseEntry(HWND edit) { SetWindowSubclass(edit, upperCaseEntryProc, 0, 0); }

}  // namespace ui::win32
