#include "ui/picture_scale.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <random>
#include <vector>

namespace {

using Pixels = std::vector<uint32_t>;

Pixels scaled(const Pixels& from, int fw, int fh, int tw, int th) {
    Pixels to(std::size_t(tw) * std::size_t(th), 0xDEADBEEF);
    ui::scalePixels(from.data(), fw, fh, to.data(), tw, th);
    return to;
}

uint32_t grey(uint32_t v) { return v | v << 8 | v << 16; }

// How much of source pixel j lies inside target pixel i, as a share of i.
double share(int j, int i, double step) {
    return std::max(0.0, std::min(j + 1.0, (i + 1) * step) - std::max(double(j), i * step)) / step;
}

// The four channels of target pixel (x, y), averaged over its area in doubles.
std::array<double, 4> areaMean(const Pixels& from, int fw, int fh, int tw, int th, int x, int y) {
    std::array<double, 4> sum{};
    const double across = double(fw) / tw, down = double(fh) / th;
    for (int sy = int(y * down); sy < fh && sy < (y + 1) * down; ++sy) {
        for (int sx = int(x * across); sx < fw && sx < (x + 1) * across; ++sx) {
            double w = share(sy, y, down) * share(sx, x, across);
            uint32_t p = from[std::size_t(sy) * std::size_t(fw) + std::size_t(sx)];
            for (int k = 0; k < 4; ++k) sum[std::size_t(k)] += w * double(p >> (8 * k) & 0xFF);
        }
    }
    return sum;
}

TEST(PictureScale, APlainPictureKeepsItsExactColourAtAnySize) {
    struct Case { int fw, fh, tw, th; } cases[] = {
        {630, 330, 626, 238}, {630, 60, 626, 52}, {10, 10, 13, 13}, {7, 3, 1, 1}, {1, 1, 9, 4}, {5, 5, 5, 5},
        {630, 330, 2, 1}, {1000, 1, 3, 1}, {1, 700, 1, 5},  // far more source pixels than weight steps
    };
    for (const Case& c : cases) {
        Pixels from(std::size_t(c.fw) * std::size_t(c.fh), 0x80C0A020);
        Pixels to = scaled(from, c.fw, c.fh, c.tw, c.th);
        for (uint32_t p : to) ASSERT_EQ(p, 0x80C0A020u) << c.fw << "x" << c.fh << " -> " << c.tw << "x" << c.th;
    }
}

TEST(PictureScale, TheSameSizeIsACopy) {
    Pixels from = {0x010203, 0xFFFFFF, 0x000000, 0x7F8081, 0x112233, 0xA0B0C0};
    EXPECT_EQ(scaled(from, 3, 2, 3, 2), from);
}

TEST(PictureScale, HalvingAveragesEachBlockOfFour) {
    // Two 2x2 blocks: greys 0, 100, 200, 100 average to 100; 255 x 4 stays 255.
    Pixels from = {grey(0), grey(100), grey(255), grey(255),
                   grey(200), grey(100), grey(255), grey(255)};
    EXPECT_EQ(scaled(from, 4, 2, 2, 1), (Pixels{grey(100), grey(255)}));
}

TEST(PictureScale, DoublingRepeatsEachPixel) {
    EXPECT_EQ(scaled({grey(10), grey(250)}, 2, 1, 4, 1), (Pixels{grey(10), grey(10), grey(250), grey(250)}));
}

TEST(PictureScale, EnlargingByAFractionBlendsOnlyWhereTwoPixelsMeet) {
    // 2 -> 3: the middle target pixel covers half of each source pixel.
    EXPECT_EQ(scaled({grey(0), grey(200)}, 2, 1, 3, 1), (Pixels{grey(0), grey(100), grey(200)}));
}

TEST(PictureScale, AShrunkGradientStaysSmoothAndKeepsItsEnds) {
    const int fw = 630, tw = 313;
    Pixels from(fw);
    for (int x = 0; x < fw; ++x) from[std::size_t(x)] = grey(uint32_t(x * 255 / (fw - 1)));
    Pixels to = scaled(from, fw, 1, tw, 1);
    for (int x = 1; x < tw; ++x) {
        uint32_t a = to[std::size_t(x - 1)] & 0xFF, b = to[std::size_t(x)] & 0xFF;
        ASSERT_LE(a, b) << "at " << x;
        ASSERT_LE(b - a, 2u) << "at " << x;
        ASSERT_EQ(to[std::size_t(x)], grey(b)) << "channels apart at " << x;
    }
    EXPECT_LE(to.front() & 0xFF, 1u);
    EXPECT_GE(to.back() & 0xFF, 254u);
}

TEST(PictureScale, AStrongShrinkAveragesEachThirdOfAGradient) {
    // 1,000 greys from 0 to 255 into three pixels: each is its third's mean.
    Pixels from(1000);
    for (int x = 0; x < 1000; ++x) from[std::size_t(x)] = grey(uint32_t(x * 255 / 999));
    Pixels to = scaled(from, 1000, 1, 3, 1);
    const uint32_t means[] = {42, 127, 212};
    for (int x = 0; x < 3; ++x) {
        uint32_t v = to[std::size_t(x)] & 0xFF;
        EXPECT_NEAR(double(v), double(means[x]), 3.0) << "pixel " << x;
        EXPECT_EQ(to[std::size_t(x)], grey(v)) << "channels apart at " << x;
    }
}

// Three white pixels, then one black, along both axes: a mean of 191.25
// however far it shrinks.
Pixels stripes(int fw, int fh) {
    Pixels from(std::size_t(fw) * std::size_t(fh));
    for (int y = 0; y < fh; ++y)
        for (int x = 0; x < fw; ++x) from[std::size_t(y) * std::size_t(fw) + std::size_t(x)] = (x + y) % 4 == 3 ? 0 : 0xFFFFFFFF;
    return from;
}

// Every channel of every target pixel lies within one level of its area's mean.
testing::AssertionResult averagesItsAreas(const Pixels& from, int fw, int fh, int tw, int th) {
    Pixels to = scaled(from, fw, fh, tw, th);
    for (int y = 0; y < th; ++y) {
        for (int x = 0; x < tw; ++x) {
            std::array<double, 4> mean = areaMean(from, fw, fh, tw, th, x, y);
            uint32_t p = to[std::size_t(y) * std::size_t(tw) + std::size_t(x)];
            for (int k = 0; k < 4; ++k) {
                double got = double(p >> (8 * k) & 0xFF);
                if (std::fabs(got - mean[std::size_t(k)]) > 1.0)
                    return testing::AssertionFailure() << fw << "x" << fh << " -> " << tw << "x" << th << " at " << x << ","
                                                       << y << " channel " << k << ": " << got << " for " << mean[std::size_t(k)];
            }
        }
    }
    return testing::AssertionSuccess();
}

TEST(PictureScale, StripesAverageWithinOneLevelAtAnyFactorOnEitherAxis) {
    struct Case { int fw, fh, tw, th; } cases[] = {
        {1024, 1, 1, 1}, {4096, 1, 1, 1}, {100000, 1, 1, 1}, {300001, 1, 1, 1},  // whole runs, past 2^16 sums
        {1000, 1, 3, 1}, {99999, 1, 7, 1}, {1021, 1, 100, 1}, {7, 1, 3, 1},       // cut pixels at both ends
        {1024, 1024, 1, 1}, {3000, 40, 5, 30}, {5000, 9, 3, 2},                   // both axes, mixed with the fast path
        {630, 1, 626, 1}, {2, 1, 3, 1},                                           // ordinary factors
    };
    for (const Case& c : cases) {
        EXPECT_TRUE(averagesItsAreas(stripes(c.fw, c.fh), c.fw, c.fh, c.tw, c.th));
        EXPECT_TRUE(averagesItsAreas(stripes(c.fh, c.fw), c.fh, c.fw, c.th, c.tw));  // on its side
    }
}

// Every pixel black or white at random, or every channel random: no two
// neighbours alike, so every weight's rounding shows.
Pixels noise(int fw, int fh, bool blackOrWhite) {
    std::mt19937 random(7);
    Pixels from(std::size_t(fw) * std::size_t(fh));
    for (uint32_t& p : from) p = blackOrWhite ? (random() & 1 ? 0xFFFFFFFF : 0) : uint32_t(random());
    return from;
}

TEST(PictureScale, MildShrinksAndEnlargementsAverageWithinOneLevelOnEitherAxisAndBoth) {
    struct Case { int fw, fh, tw, th; } cases[] = {
        {7, 9, 5, 9}, {100, 40, 67, 40}, {630, 20, 626, 20}, {330, 40, 238, 40}, {301, 40, 151, 40},  // up to 3 source pixels each
        {630, 330, 626, 238}, {300, 300, 151, 151},                                            // both axes
        {100, 100, 137, 151}, {300, 300, 301, 299}, {100, 100, 67, 150}, {630, 3300, 626, 238}, // enlarged, mixed
    };
    for (const Case& c : cases) {
        for (bool blackOrWhite : {true, false}) {
            EXPECT_TRUE(averagesItsAreas(noise(c.fw, c.fh, blackOrWhite), c.fw, c.fh, c.tw, c.th));
            EXPECT_TRUE(averagesItsAreas(noise(c.fh, c.fw, blackOrWhite), c.fh, c.fw, c.th, c.tw));  // on its side
        }
        EXPECT_TRUE(averagesItsAreas(stripes(c.fw, c.fh), c.fw, c.fh, c.tw, c.th));
        EXPECT_TRUE(averagesItsAreas(stripes(c.fh, c.fw), c.fh, c.fw, c.th, c.tw));
    }
}

TEST(PictureScale, ARowTooLongForThirtyTwoBitSumsStillAverages) {
    const int fw = (1 << 23) + 5;  // 256 * fw passes 2^31
    EXPECT_EQ(scaled(stripes(fw, 1), fw, 1, 3, 1), Pixels(3, 0xBFBFBFBF));  // 191.25 in each third
}

TEST(PictureScale, AnEmptySizeLeavesTheTargetAlone) {
    Pixels to(4, 0x55);
    Pixels from(4, 0xAA);
    ui::scalePixels(from.data(), 2, 2, to.data(), 0, 2);
    ui::scalePixels(from.data(), 0, 2, to.data(), 2, 2);
    EXPECT_EQ(to, Pixels(4, 0x55));
}

}  // namespace
