// An entry whose typed and pasted letters become capitals, while the text the
// program puts there stays exactly as its variable holds it.
#pragma once
#include <windows.h>

namespace ui::win32 {

void makeUpperCaseEntry(HWND edit);

}  // namespace ui::win32
