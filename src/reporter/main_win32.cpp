// Zilvara.exe: the reporter's entry point. Installs the Win32 platform,
// the tray seam and the toolkit, then runs the entry procedure.
#include <windows.h>

#include "platform/tray.h"
#include "platform/win32/win32_platform.h"
#include "reporter/zilvara.h"
#include "ui/win32/win32_toolkit.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    vx::installWin32Platform();
    vx::installWin32Tray();
    ui::win32::installWin32Toolkit();
    zilvara::_main();
    return 0;
}
