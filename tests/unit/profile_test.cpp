// The native profile behaves like the Windows profile functions.
#include <unistd.h>

#include "../common/profile_cases.h"
#include "platform/portable/profile_file.h"

TEST(Profile, BehavesLikeWindows) {
    char tmpl[] = "/tmp/vx-profile-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    vx::ProfileFile profile;
    vx::testing::runProfileTable(profile, tmpl, "/");
    rmdir(tmpl);
}
