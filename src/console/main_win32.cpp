// Morventa.exe: the console's entry point. Installs the Win32 platform and
// toolkit, hands over the command-line parameters and runs _main.
#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "console/morventa.h"
#include "platform/win32/win32_platform.h"
#include "ui/win32/win32_toolkit.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    vx::installWin32Platform();
    ui::win32::installWin32Toolkit();
    std::vector<std::string> args;
    for (int i = 1; i < __argc; ++i) args.emplace_back(__argv[i]);
    morventa::setArguments(std::move(args));
    morventa::_main();
    return 0;
}
