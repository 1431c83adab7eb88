// The same profile table against GetPrivateProfileStringA and
// WritePrivateProfileStringA.
#include <windows.h>

#include "../common/profile_cases.h"
#include "platform/win32/win32_platform.h"

TEST(Win32Profile, BehavesAsTheNativeOneExpects) {
    vx::installWin32Platform();
    char dir[MAX_PATH];
    GetTempPathA(sizeof dir, dir);
    std::string d = std::string(dir) + "vxprofile" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(d.c_str(), nullptr);
    vx::testing::runProfileTable(*vx::platform().profile, d, "\\");
    RemoveDirectoryA(d.c_str());
}
