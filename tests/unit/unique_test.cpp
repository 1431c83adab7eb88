// The single-instance guard against the recording named events: the event's
// name, a name already held, and an event that cannot be created.
#include <gtest/gtest.h>

#include <string>

#include "platform/portable/test_platform.h"
#include "shared/unique.h"

namespace vx {
namespace {

class Unique : public ::testing::Test {
protected:
    void SetUp() override { tp.install(); }
    TestPlatform tp;
};

TEST_F(Unique, FirstClaimWinsAndTrailingSpacesNameTheSameEvent) {
    EXPECT_NE(BEGINUNIQUE("Morventa.exe"), 0);
    EXPECT_EQ(BEGINUNIQUE("Morventa.exe   "), 0);  // already exists (183)
    EXPECT_NE(BEGINUNIQUE("Zilvara.exe"), 0);
    EXPECT_EQ(tp.events.held.size(), 2u);
    EXPECT_EQ(tp.events.held["Morventa.exe_UEvent"], 2);
    EXPECT_EQ(tp.events.held["Zilvara.exe_UEvent"], 1);
}

TEST_F(Unique, EventThatCannotBeCreatedGivesZero) {
    tp.events.refuse = true;
    EXPECT_EQ(BEGINUNIQUE("Morventa.exe"), 0);
}

TEST_F(Unique, LongNameIsCutTo259Characters) {
    std::string name(300, 'n');
    EXPECT_NE(BEGINUNIQUE(name), 0);
    ASSERT_EQ(tp.events.held.size(), 1u);
    EXPECT_EQ(tp.events.held.begin()->first, std::string(259, 'n'));
    // One character too many: the suffix loses its last letter.
    EXPECT_NE(BEGINUNIQUE(std::string(253, 'm')), 0);
    EXPECT_EQ(tp.events.held.count(std::string(253, 'm') + "_UEven"), 1u);
}

}  // namespace
}  // namespace vx
