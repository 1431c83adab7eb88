// Opens the web-instructions window on the address given as the first
// argument and returns when it has closed (for tests driving it from outside).
#include "platform/win32/win32_platform.h"
#include "shared/vxwebupute.h"
#include "ui/win32/win32_toolkit.h"

int main(int argc, char** argv) {
    vx::installWin32Platform();
    ui::win32::installWin32Toolkit();
    vx::VXWEBUPUTE(argc > 1 ? argv[1] : "");
    return 0;
}
