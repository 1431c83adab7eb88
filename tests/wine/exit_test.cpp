// Ending a program while its window is still being prepared: probes that
// build a window with a picture to scale and leave at once through the
// platform's exit, as a second start of either program does.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "../common/piped_process.h"

namespace {

struct Outcome {
    bool started = false;
    DWORD code = 99;
    std::string output;
};

// Runs exit_probe with the arguments given to its end, or kills it after 20 s.
Outcome runProbe(const std::string& args) {
    Outcome out;
    HANDLE process = nullptr, output = nullptr;
    out.started = vx::testing::startPiped("exit_probe.exe", args, process, output);
    if (!out.started) return out;
    char buf[256];
    DWORD got = 0;
    while (ReadFile(output, buf, sizeof buf, &got, nullptr) && got > 0) out.output.append(buf, got);
    if (WaitForSingleObject(process, 20000) != WAIT_OBJECT_0) TerminateProcess(process, 98);
    WaitForSingleObject(process, 5000);
    GetExitCodeProcess(process, &out.code);
    CloseHandle(process);
    CloseHandle(output);
    return out;
}

TEST(ProgramExit, EveryStartLeavesWithItsCodeWhileItsWindowIsPrepared) {
    constexpr int kRuns = 40;
    int wrong = 0;
    for (int run = 0; run < kRuns; ++run) {
        Outcome o = runProbe("7");
        ASSERT_TRUE(o.started) << "exit_probe.exe not found in VX_BIN";
        if (o.code != 7u) {
            ++wrong;
            ADD_FAILURE() << "run " << run << " ended with 0x" << std::hex << o.code << ": " << o.output;
        }
    }
    EXPECT_EQ(0, wrong) << "of " << kRuns << " runs";
}

// Deterministic where the crash is not: the preload is still scaling when
// the exit comes, and only an exit that waits lets it finish.
TEST(ProgramExit, TheExitWaitsForAPreloadStillScaling) {
    Outcome o = runProbe("7 slow");
    ASSERT_TRUE(o.started) << "exit_probe.exe not found in VX_BIN";
    EXPECT_EQ(7u, o.code);
    EXPECT_EQ("scaled\n", o.output);
}

}  // namespace
