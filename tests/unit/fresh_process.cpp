// Every test finds the process-wide and main-thread state a program finds
// when it starts, whatever the tests before it in the same process left.
#include <gtest/gtest.h>

#include "shared/vxf_log.h"

namespace {

// A test that ends its program from inside a window (ProcessExit thrown where
// the process would end) never reaches the window's return step: the main
// thread's log stays joined, and possibly open, into the next test.
class FreshProcessState : public ::testing::EmptyTestEventListener {
    void OnTestEnd(const ::testing::TestInfo&) override {
        vx::LOGFILE().usedCount() = 0;
        vx::closeLogFile();  // also clears the thread's last file error
        vx::GLO_LOGFILE.clear();
    }
};

// Registered before main() so every way of running the binary has it.
const bool registered = [] {
    ::testing::UnitTest::GetInstance()->listeners().Append(new FreshProcessState);
    return true;
}();

}  // namespace
