// A separable box filter in fixed point: the weights of each target pixel sum
// to exactly kOne, so a plain area keeps its exact colour. With weights of
// 8 bits, two channels share one 32-bit sum (each lane stays below 2^16).
#include "ui/picture_scale.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace ui {
namespace {

constexpr uint32_t kBits = 8;
constexpr uint32_t kOne = 1u << kBits;

struct Tap {
    int from;
    uint32_t weight;
};

// For every target index along one axis, the source indices it covers and
// their weights; first[i]..first[i + 1] are target i's taps.
struct Axis {
    std::vector<Tap> taps;
    std::vector<std::size_t> first;
};

// Each weight is the step between two rounded running totals of the area
// covered, so the weights never go negative and always sum to exactly kOne,
// however many source pixels a target pixel covers.
Axis axisTaps(int fromSize, int toSize) {
    Axis a;
    a.first.reserve(std::size_t(toSize) + 1);
    double step = double(fromSize) / toSize;  // source pixels per target pixel
    for (int i = 0; i < toSize; ++i) {
        a.first.push_back(a.taps.size());
        double begin = i * step, end = std::min(double(fromSize), (i + 1) * step);
        int j0 = std::min(fromSize - 1, int(std::floor(begin)));
        int j1 = std::clamp(int(std::ceil(end)) - 1, j0, fromSize - 1);
        uint32_t done = 0;
        for (int j = j0; j <= j1; ++j) {
            double covered = (std::min(end, double(j + 1)) - begin) / step;
            uint32_t upTo = j == j1 ? kOne : std::min(kOne, uint32_t(std::lround(std::max(0.0, covered) * kOne)));
            if (upTo > done) a.taps.push_back(Tap{j, upTo - done});
            done = std::max(done, upTo);
        }
    }
    a.first.push_back(a.taps.size());
    return a;
}

// Channels 0 and 2 of `p` (and 1 and 3 of p >> 8), each in a 16-bit lane.
constexpr uint32_t kLanes = 0x00FF00FF;
constexpr uint32_t kHalf = 0x00800080;  // rounds each lane

uint32_t packed(uint32_t lo, uint32_t hi) { return ((lo >> kBits) & kLanes) | (hi & ~kLanes); }

}  // namespace

void scalePixels(const uint32_t* from, int fromWidth, int fromHeight, uint32_t* to, int toWidth, int toHeight) {
    if (fromWidth < 1 || fromHeight < 1 || toWidth < 1 || toHeight < 1) return;
    Axis across = axisTaps(fromWidth, toWidth), down = axisTaps(fromHeight, toHeight);
    const std::size_t width = std::size_t(toWidth);
    // Across each source row first, into rows of the target's width.
    std::vector<uint32_t> rows(std::size_t(fromHeight) * width);
    for (int y = 0; y < fromHeight; ++y) {
        const uint32_t* src = from + std::size_t(y) * std::size_t(fromWidth);
        uint32_t* out = &rows[std::size_t(y) * width];
        for (std::size_t x = 0; x < width; ++x) {
            uint32_t lo = kHalf, hi = kHalf;
            for (std::size_t t = across.first[x]; t < across.first[x + 1]; ++t) {
                uint32_t p = src[across.taps[t].from], w = across.taps[t].weight;
                lo += (p & kLanes) * w;
                hi += ((p >> 8) & kLanes) * w;
            }
            out[x] = packed(lo, hi);
        }
    }
    // Then down: each target row sums the rows it covers.
    std::vector<uint32_t> lo(width), hi(width);
    for (int y = 0; y < toHeight; ++y) {
        std::fill(lo.begin(), lo.end(), kHalf);
        std::fill(hi.begin(), hi.end(), kHalf);
        for (std::size_t t = down.first[std::size_t(y)]; t < down.first[std::size_t(y) + 1]; ++t) {
            const uint32_t* row = &rows[std::size_t(down.taps[t].from) * width];
            uint32_t w = down.taps[t].weight;
            for (std::size_t x = 0; x < width; ++x) {
                lo[x] += (row[x] & kLanes) * w;
                hi[x] += ((row[x] >> 8) & kLanes) * w;
            }
        }
        uint32_t* out = to + std::size_t(y) * width;
        for (std::size_t x = 0; x < width; ++x) out[x] = packed(lo[x], hi[x]);
    }
}

}  // namespace ui
