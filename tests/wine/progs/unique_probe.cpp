// A separate process for the single-instance tests: claims the guard for the
// name given, reports the outcome, then holds the claim for the time given.
// Usage: unique_probe <name> <hold ms>. Exit code 1 claimed, 0 refused.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include "platform/win32/win32_platform.h"
#include "shared/unique.h"

int main(int argc, char** argv) {
    if (argc < 3) return 2;
    vx::installWin32Platform();
    bool claimed = vx::BEGINUNIQUE(argv[1]) != 0;
    // The test reads this line to know the claim is in force.
    std::printf("%d\n", claimed ? 1 : 0);
    std::fflush(stdout);
    Sleep(static_cast<DWORD>(std::atoi(argv[2])));
    return claimed ? 1 : 0;
}
