// A separable box filter in two forms. Ordinary factors use fixed point: the
// weights of each target pixel sum to exactly kOne, so a plain area keeps its
// exact colour, and with weights of 8 bits two channels share one 32-bit sum
// (each lane stays below 2^16). Shrinks beyond kFastShrink would lose too
// much to 8-bit weights, so they sum whole runs of source pixels exactly and
// divide once per channel, rounding.
#include "ui/picture_scale.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace ui {
namespace {

constexpr uint32_t kBits = 8;
constexpr uint32_t kOne = 1u << kBits;

// Up to this many source pixels per target pixel, rounding each weight to
// 1/kOne costs at most about one level.
constexpr int kFastShrink = 2;

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

// Measured in units where a source pixel is toSize long and a target pixel
// fromSize long, every overlap is a whole number: target i takes source
// `first` with weight `head`, `last` with `tail`, those between with `inner`
// each, and divides by `whole`.
struct Span {
    int first, last;
    uint32_t head, tail;
};

// Divides a sum below 256 * d by a fixed d < kNarrowWhole with one multiply:
// m = 2^54 / d rounded up is off by less than 1 / d, as 2^54 >= 256 * d^2,
// and n * m stays below 2^64.
constexpr uint32_t kNarrowWhole = 1u << 23;

struct Divisor {
    static constexpr int kShift = 54;
    uint64_t magic = 0;

    explicit Divisor(uint32_t d) : magic(d < kNarrowWhole ? (uint64_t(1) << kShift) / d + 1 : 0) {}
    uint32_t operator()(uint32_t n) const { return uint32_t((n * magic) >> kShift); }
};

struct Runs {
    std::vector<Span> spans;
    uint32_t inner, whole;
    Divisor byWhole;
};

Runs axisRuns(int fromSize, int toSize) {
    Runs r{{}, uint32_t(toSize), uint32_t(fromSize), Divisor(uint32_t(fromSize))};
    r.spans.reserve(std::size_t(toSize));
    const int64_t from = fromSize, to = toSize;
    for (int64_t i = 0; i < to; ++i) {
        int64_t begin = i * from, end = begin + from;
        int64_t j0 = begin / to, j1 = (end - 1) / to;
        Span s{int(j0), int(j1), 0, 0};
        if (j0 == j1) {
            s.head = r.whole;
        } else {
            s.head = uint32_t((j0 + 1) * to - begin);
            s.tail = uint32_t(end - j1 * to);
        }
        r.spans.push_back(s);
    }
    return r;
}

// Channels 0 and 2 of `p` in the two 32-bit lanes of a word.
uint64_t apart(uint32_t p) { return (p & 0xFF) | uint64_t(p & 0xFF0000) << 16; }

// Two channel sums in each 32-bit lane of `lo` (channels 0, 2) and `hi` (1, 3).
struct NarrowSums {
    uint64_t lo = 0, hi = 0;

    // Adds 16-bit lanes of one or two pixels' channels, as kWideLanes splits them.
    void add(uint64_t lo16, uint64_t hi16) {
        lo += folded(lo16);
        hi += folded(hi16);
    }
    static uint64_t folded(uint64_t w) {
        return ((w & 0xFFFF) + (w >> 32 & 0xFFFF)) | ((w >> 16 & 0xFFFF) + (w >> 48)) << 32;
    }
    uint32_t averaged(uint32_t first, uint32_t last, const Span& s, const Runs& r) const {
        const uint64_t half = (r.whole / 2) * 0x100000001ull;  // rounds both lanes
        uint64_t l = lo * r.inner + apart(first) * s.head + apart(last) * s.tail + half;
        uint64_t h = hi * r.inner + apart(first >> 8) * s.head + apart(last >> 8) * s.tail + half;
        const Divisor& d = r.byWhole;
        return d(uint32_t(l)) | d(uint32_t(l >> 32)) << 16 | d(uint32_t(h)) << 8 | d(uint32_t(h >> 32)) << 24;
    }
};

// One 64-bit sum per channel, for targets too wide for NarrowSums.
struct WideSums {
    uint64_t c[4] = {0, 0, 0, 0};

    void add(uint64_t lo16, uint64_t hi16) {
        c[0] += (lo16 & 0xFFFF) + (lo16 >> 32 & 0xFFFF);
        c[2] += (lo16 >> 16 & 0xFFFF) + (lo16 >> 48);
        c[1] += (hi16 & 0xFFFF) + (hi16 >> 32 & 0xFFFF);
        c[3] += (hi16 >> 16 & 0xFFFF) + (hi16 >> 48);
    }
    uint32_t averaged(uint32_t first, uint32_t last, const Span& s, const Runs& r) const {
        uint32_t out = 0;
        for (int k = 0; k < 4; ++k) {
            uint64_t sum = c[k] * r.inner + uint64_t(first >> (8 * k) & 0xFF) * s.head +
                           uint64_t(last >> (8 * k) & 0xFF) * s.tail + r.whole / 2;
            out |= uint32_t(sum / r.whole) << (8 * k);
        }
        return out;
    }
};

// Channel sums in 16-bit lanes, two pixels to a 64-bit word split as kLanes
// splits one: a lane holds up to 257 values of 255 without a carry.
constexpr int kRunChunk = 256;
constexpr uint64_t kWideLanes = 0x00FF00FF00FF00FFull;

// Two neighbouring pixels, the first in the lower half (as on x86).
uint64_t pair(const uint32_t* p) {
    uint64_t q;
    std::memcpy(&q, p, sizeof q);
    return q;
}

// Adds the channels of n pixels from p on.
template <class Sums>
void addRun(const uint32_t* p, int n, Sums& sums) {
    while (n > 0) {
        int chunk = std::min(n, 4 * kRunChunk);
        n -= chunk;
        uint64_t lo = 0, hi = 0, lo2 = 0, hi2 = 0;  // two chains run side by side
        for (; chunk >= 4; chunk -= 4, p += 4) {
            uint64_t q = pair(p), q2 = pair(p + 2);
            lo += q & kWideLanes;
            hi += q >> 8 & kWideLanes;
            lo2 += q2 & kWideLanes;
            hi2 += q2 >> 8 & kWideLanes;
        }
        if (chunk >= 2) {
            uint64_t q = pair(p);
            lo += q & kWideLanes;
            hi += q >> 8 & kWideLanes;
            chunk -= 2, p += 2;
        }
        if (chunk) {
            lo += *p & kLanes;
            hi += *p >> 8 & kLanes;
            ++p;
        }
        sums.add(lo, hi);
        sums.add(lo2, hi2);
    }
}

template <class Sums>
void shrinkAcross(const uint32_t* from, int fromWidth, int fromHeight, const Runs& across, uint32_t* rows) {
    const std::size_t width = across.spans.size();
    for (int y = 0; y < fromHeight; ++y) {
        const uint32_t* src = from + std::size_t(y) * std::size_t(fromWidth);
        uint32_t* out = rows + std::size_t(y) * width;
        for (std::size_t x = 0; x < width; ++x) {
            const Span& s = across.spans[x];
            Sums between;
            if (s.last > s.first + 1) addRun(src + s.first + 1, s.last - s.first - 1, between);
            out[x] = between.averaged(src[s.first], src[s.last], s, across);
        }
    }
}

void fastRow(const uint32_t* src, const Axis& across, uint32_t* out) {
    for (std::size_t x = 0; x + 1 < across.first.size(); ++x) {
        uint32_t lo = kHalf, hi = kHalf;
        for (std::size_t t = across.first[x]; t < across.first[x + 1]; ++t) {
            uint32_t p = src[across.taps[t].from], w = across.taps[t].weight;
            lo += (p & kLanes) * w;
            hi += ((p >> 8) & kLanes) * w;
        }
        out[x] = packed(lo, hi);
    }
}

// Each target row sums the rows it covers.
void fastDown(const uint32_t* rows, std::size_t width, const Axis& down, uint32_t* to) {
    std::vector<uint32_t> lo(width), hi(width);
    for (std::size_t y = 0; y + 1 < down.first.size(); ++y) {
        std::fill(lo.begin(), lo.end(), kHalf);
        std::fill(hi.begin(), hi.end(), kHalf);
        for (std::size_t t = down.first[y]; t < down.first[y + 1]; ++t) {
            const uint32_t* row = rows + std::size_t(down.taps[t].from) * width;
            uint32_t w = down.taps[t].weight;
            for (std::size_t x = 0; x < width; ++x) {
                lo[x] += (row[x] & kLanes) * w;
                hi[x] += ((row[x] >> 8) & kLanes) * w;
            }
        }
        uint32_t* out = to + y * width;
        for (std::size_t x = 0; x < width; ++x) out[x] = packed(lo[x], hi[x]);
    }
}

template <class Sums>
void shrinkDown(const uint32_t* rows, std::size_t width, const Runs& down, uint32_t* to) {
    std::vector<uint32_t> lo(width), hi(width);
    std::vector<Sums> between(width);
    for (std::size_t y = 0; y < down.spans.size(); ++y) {
        const Span& s = down.spans[y];
        std::fill(between.begin(), between.end(), Sums{});
        for (int j = s.first + 1; j < s.last;) {
            int stop = std::min(s.last, j + kRunChunk);
            std::fill(lo.begin(), lo.end(), 0);
            std::fill(hi.begin(), hi.end(), 0);
            for (; j < stop; ++j) {
                const uint32_t* row = rows + std::size_t(j) * width;
                for (std::size_t x = 0; x < width; ++x) {
                    lo[x] += row[x] & kLanes;
                    hi[x] += (row[x] >> 8) & kLanes;
                }
            }
            for (std::size_t x = 0; x < width; ++x) between[x].add(lo[x], hi[x]);
        }
        const uint32_t* first = rows + std::size_t(s.first) * width;
        const uint32_t* last = rows + std::size_t(s.last) * width;
        uint32_t* out = to + y * width;
        for (std::size_t x = 0; x < width; ++x) out[x] = between[x].averaged(first[x], last[x], s, down);
    }
}

bool strongShrink(int fromSize, int toSize) { return int64_t(fromSize) > int64_t(toSize) * kFastShrink; }

}  // namespace

void scalePixels(const uint32_t* from, int fromWidth, int fromHeight, uint32_t* to, int toWidth, int toHeight) {
    if (fromWidth < 1 || fromHeight < 1 || toWidth < 1 || toHeight < 1) return;
    const std::size_t width = std::size_t(toWidth);
    // Across each source row first, into rows of the target's width.
    std::vector<uint32_t> rows(std::size_t(fromHeight) * width);
    if (strongShrink(fromWidth, toWidth)) {
        Runs across = axisRuns(fromWidth, toWidth);
        if (across.whole < kNarrowWhole)
            shrinkAcross<NarrowSums>(from, fromWidth, fromHeight, across, rows.data());
        else
            shrinkAcross<WideSums>(from, fromWidth, fromHeight, across, rows.data());
    } else {
        Axis across = axisTaps(fromWidth, toWidth);
        for (int y = 0; y < fromHeight; ++y)
            fastRow(from + std::size_t(y) * std::size_t(fromWidth), across, &rows[std::size_t(y) * width]);
    }
    if (!strongShrink(fromHeight, toHeight)) {
        fastDown(rows.data(), width, axisTaps(fromHeight, toHeight), to);
        return;
    }
    Runs down = axisRuns(fromHeight, toHeight);
    if (down.whole < kNarrowWhole)
        shrinkDown<NarrowSums>(rows.data(), width, down, to);
    else
        shrinkDown<WideSums>(rows.data(), width, down, to);
}

}  // namespace ui
