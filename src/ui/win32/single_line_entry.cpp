// A single-line entry: a subclass of the system's edit control.
#include "ui/win32/single_line_entry.h"

#include <commctrl.h>

#include <algorithm>
#include <cwchar>
#include <string>

namespace ui::win32 {
namespace {

// What the system's single-line edit pastes: the clipboard's text up to its
// first line break (CR or LF).
std::wstring clipboardFirstLine(HWND owner) {
    std::wstring text;
    if (IsClipboardFormatAvailable(CF_UNICODETEXT) && OpenClipboard(owner)) {
        if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
            if (auto* p = static_cast<const wchar_t*>(GlobalLock(data))) {
                // No further than the block holds, terminated or not.
                text.assign(p, wcsnlen(p, GlobalSize(data) / sizeof(wchar_t)));
                GlobalUnlock(data);
            }
        }
        CloseClipboard();
    }
    return text.substr(0, text.find_first_of(L"\r\n"));
}

// Pastes the first line (in capitals for an upper-case entry), within the
// entry's length limit, as one step undo takes back.
void pasteFirstLine(HWND h, bool upperCase) {
    if (GetWindowLongPtrW(h, GWL_STYLE) & ES_READONLY) return;
    std::wstring text = clipboardFirstLine(h);
    DWORD from = 0, to = 0;
    SendMessageW(h, EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
    std::size_t kept = std::size_t(GetWindowTextLengthW(h)) - (to - from);
    std::size_t limit = std::size_t(SendMessageW(h, EM_GETLIMITTEXT, 0, 0));
    text.resize(std::min(text.size(), limit > kept ? limit - kept : 0));
    if (text.empty()) return;
    if (upperCase) CharUpperBuffW(&text[0], DWORD(text.size()));
    SendMessageW(h, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
}

// The entry pastes by itself, so that a paste brings one line whatever the
// edit control makes of a CR or LF in it. An upper-case entry: letters the user types or
// pastes become capitals. Not ES_UPPERCASE, which also converts the text the
// program puts there: the entry must show exactly what its variable holds.
LRESULT CALLBACK singleLineEntryProc(HWND h, UINT msg, WPARAM w, LPARAM l, UINT_PTR, DWORD_PTR upperCase) {
    if (msg == WM_CHAR && w >= L' ' && upperCase) {
        wchar_t ch[2] = {wchar_t(w), 0};
        CharUpperW(ch);
        w = ch[0];
    } else if (msg == WM_PASTE) {  // also Ctrl+V (WM_CHAR 0x16) and the context menu's Paste
        pasteFirstLine(h, upperCase != 0);
        return 0;
    } else if (msg == WM_KEYDOWN && w == VK_INSERT && GetKeyState(VK_SHIFT) < 0) {
        // Wine's edit pastes Shift+Insert inside its own WM_KEYDOWN, with no WM_PASTE.
        pasteFirstLine(h, upperCase != 0);
        return 0;
    } else if (msg == WM_NCDESTROY) {
        RemoveWindowSubclass(h, singleLineEntryProc, 0);
    }
    return DefSubclassProc(h, msg, w, l);
}

}  // namespace

void makeSingleLineEntry(HWND edit, bool upperCase) {
    SetWindowSubclass(edit, singleLineEntryProc, 0, upperCase ? 1 : 0);
}

}  // namespace ui::win32
