// Ending a program while its window is still being prepared: probes that
// build a window with a picture to scale and leave at once through the
// platform's exit, as a second start of either program does.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

struct Outcome {
    bool started = false;
    DWORD code = 99;
    std::string output;
};

// Runs exit_probe with the arguments given to its end, or kills it after 20 s.
Outcome runProbe(const std::string& args) {
    const char* bin = std::getenv("VX_BIN");
    std::string cmd = "\"" + std::string(bin ? bin : ".") + "\\exit_probe.exe\" " + args;
    SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    Outcome out;
    if (!CreatePipe(&readEnd, &writeEnd, &sa, 0)) return out;
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = writeEnd;
    si.hStdError = writeEnd;
    si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    PROCESS_INFORMATION pi{};
    out.started = CreateProcessA(nullptr, &cmd[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi) != 0;
    // Only the child holds the write end now: the reads end with it.
    CloseHandle(writeEnd);
    if (out.started) {
        CloseHandle(pi.hThread);
        char buf[256];
        DWORD got = 0;
        while (ReadFile(readEnd, buf, sizeof buf, &got, nullptr) && got > 0) out.output.append(buf, got);
        if (WaitForSingleObject(pi.hProcess, 20000) != WAIT_OBJECT_0) TerminateProcess(pi.hProcess, 98);
        WaitForSingleObject(pi.hProcess, 5000);
        GetExitCodeProcess(pi.hProcess, &out.code);
        CloseHandle(pi.hProcess);
    }
    CloseHandle(readEnd);
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
