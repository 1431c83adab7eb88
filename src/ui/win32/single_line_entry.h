// A single-line entry's own paste: the clipboard's first line only, by every
// path; in an upper-case entry typed and pasted letters become capitals, while
// the text the program puts there stays exactly as its variable holds it.
#pragma once
#include <windows.h>

namespace ui::win32 {

void makeSingleLineEntry(HWND edit, bool upperCase);

}  // namespace ui::win32
