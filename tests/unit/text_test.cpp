// Fixed-width texts, number conversions and the time/date forms.
#include <gtest/gtest.h>

#include "base/clock.h"
#include "base/text.h"

namespace vx {
namespace {

TEST(Text, AssignCutsAndPads) {
    Text<5> t;
    EXPECT_EQ(t.str(), "     ");
    t = "abcdefg";
    EXPECT_EQ(t.str(), "abcde");
    t = "ab";
    EXPECT_EQ(t.str(), "ab   ");
    EXPECT_EQ(t.clip(), "ab");
    EXPECT_FALSE(t.blank());
    t = "";
    EXPECT_TRUE(t.blank());
}

TEST(Text, TrimAndJustify) {
    EXPECT_EQ(clip("  a b  "), "  a b");
    EXPECT_EQ(trim("  a b  "), "a b");
    EXPECT_EQ(leftJustify("  1.2.3.4"), "1.2.3.4  ");
    EXPECT_EQ(leftJustify("1.2"), "1.2");
}

TEST(Text, Numbers) {
    struct Case {
        const char* text;
        int64_t value;
    } cases[] = {{"", 0},       {"   ", 0},    {"0042", 42},  {" 42 ", 42}, {"-7", -7},
                 {"abc", 0},    {"12a", 0},    {"500\r\n", 500}, {"+3", 3},  {"-", 0},
                 {"4294967295", 4294967295LL}};
    for (const Case& c : cases) EXPECT_EQ(toNumber(c.text), c.value) << '"' << c.text << '"';
    EXPECT_EQ(num(0), "0");
    EXPECT_EQ(num(-15), "-15");
    EXPECT_EQ(num(99999), "99999");
}

TEST(Text, UpperCaseCoversCroatianLetters) {
    EXPECT_EQ(upper("marko čćžšđ"), "MARKO ČĆŽŠĐ");
    EXPECT_EQ(lower("MORVENTA_MAIN ŠĐ"), "morventa_main šđ");
}

TEST(Clock, TimeOfDay) {
    EXPECT_EQ(timeOfDay({2026, 1, 1, 0, 0, 0, 0}), 0);
    EXPECT_EQ(timeOfDay({2026, 1, 1, 0, 0, 5, 11}), 512);
    EXPECT_EQ(timeOfDay({2026, 1, 1, 23, 59, 59, 99}), 8640000);
    int h, m, s;
    splitTimeOfDay(timeOfDay({2026, 1, 1, 13, 4, 5, 0}), h, m, s);
    EXPECT_EQ(h * 10000 + m * 100 + s, 130405);
}

TEST(Clock, LogForms) {
    EXPECT_EQ(logDate({2026, 12, 9, 0, 0, 0, 0}), " 9.12.2026");
    EXPECT_EQ(logDate({2026, 3, 15, 0, 0, 0, 0}), "15.03.2026");
    EXPECT_EQ(logTime({2026, 1, 5, 8, 7, 9, 0}), " 8:07:09");
    EXPECT_EQ(logTime({2026, 1, 5, 21, 0, 0, 0}), "21:00:00");
}

}  // namespace
}  // namespace vx
