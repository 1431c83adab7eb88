// The single-instance guard across real processes: probes started one after
// another and side by side claim the event as a second program start would.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "../common/piped_process.h"

namespace {

class Handle {
public:
    explicit Handle(HANDLE h = nullptr) : h_(h) {}
    ~Handle() { reset(); }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    Handle(Handle&& o) noexcept : h_(o.h_) { o.h_ = nullptr; }
    HANDLE get() const { return h_; }
    void reset(HANDLE h = nullptr) {
        if (h_) CloseHandle(h_);
        h_ = h;
    }

private:
    HANDLE h_;
};

// One running probe; claimed() is the outcome it reported.
class Probe {
public:
    Probe(const std::string& name, int holdMs) {
        HANDLE process = nullptr, output = nullptr;
        // Quoted: the name may end in spaces, and they must reach the guard.
        started_ = vx::testing::startPiped("unique_probe.exe", "\"" + name + "\" " + std::to_string(holdMs),
                                           process, output);
        if (!started_) return;
        process_.reset(process);
        out_.reset(output);
        // The first line comes once the guard has answered.
        char c = 0;
        DWORD got = 0;
        if (ReadFile(out_.get(), &c, 1, &got, nullptr) && got == 1) line_ = c;
    }
    ~Probe() { end(); }
    bool started() const { return started_; }
    char reported() const { return line_; }
    DWORD exitCode() {
        WaitForSingleObject(process_.get(), 30000);
        DWORD code = 99;
        GetExitCodeProcess(process_.get(), &code);
        return code;
    }
    void end() {
        if (!process_.get()) return;
        TerminateProcess(process_.get(), 3);
        WaitForSingleObject(process_.get(), 30000);
        process_.reset();
    }

private:
    Handle out_, process_;
    bool started_ = false;
    char line_ = '?';
};

// Program names tagged with this run, so the guard tests never meet a real
// Morventa or Zilvara that another test runs in the same session.
std::string named(const char* program) {
    return "t" + std::to_string(GetCurrentProcessId()) + "-" + program;
}

TEST(UniqueAcrossProcesses, SecondStartIsRefusedUntilTheFirstHasEnded) {
    const std::string name = named("Morventa.exe");
    Probe first(name, 60000);
    ASSERT_TRUE(first.started()) << "unique_probe.exe not found in VX_BIN";
    EXPECT_EQ(first.reported(), '1');

    Probe second(name, 0);
    EXPECT_EQ(second.reported(), '0');
    EXPECT_EQ(second.exitCode(), 0u);

    first.end();
    Probe third(name, 0);
    EXPECT_EQ(third.reported(), '1');
    EXPECT_EQ(third.exitCode(), 1u);
}

TEST(UniqueAcrossProcesses, TheTwoProgramsRunSideBySide) {
    Probe console(named("Morventa.exe"), 60000);
    Probe reporter(named("Zilvara.exe"), 60000);
    EXPECT_EQ(console.reported(), '1');
    EXPECT_EQ(reporter.reported(), '1');
}

TEST(UniqueAcrossProcesses, TrailingSpacesClaimTheSameEvent) {
    Probe first(named("Morventa.exe"), 60000);
    EXPECT_EQ(first.reported(), '1');
    Probe spaced(named("Morventa.exe") + "   ", 0);
    EXPECT_EQ(spaced.reported(), '0');
    EXPECT_EQ(spaced.exitCode(), 0u);
}

}  // namespace
