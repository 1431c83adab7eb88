// A separate process for the guarded-opening tests: opens the log named on
// the command line as the console does, with the real message boxes.
// Usage: checkopen_probe <file>. Exit code 0 when the log opened.
#include <windows.h>

#include "platform/win32/win32_platform.h"
#include "shared/vxf_log.h"
#include "ui/win32/win32_toolkit.h"

int main(int argc, char** argv) {
    if (argc < 2) return 2;
    vx::installWin32Platform();
    ui::win32::installWin32Toolkit();
    vx::VXF_LOG("OTVORI", argv[1]);  // ends the process when the log stays unusable
    vx::VXF_LOG("ZATVORI");
    return 0;
}
