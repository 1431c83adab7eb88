// Zilvara.exe: the reporter's entry point.
#include <windows.h>

#include "platform/win32/win32_platform.h"
#include "shared/unique.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    vx::installWin32Platform();
    if (!vx::BEGINUNIQUE("Zilvara.exe")) return 0;
    return 0;
}
