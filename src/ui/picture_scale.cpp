// A separable box filter in two forms. Ordinary factors use fixed point: the
// weights of each target pixel sum to exactly kOne, so a plain area keeps its
// exact colour, and with weights of 16 bits two channels share one 64-bit sum
// (each lane stays below 2^32). The rows between the two passes keep 8 bits
// below each level, so only the last step rounds to whole levels. Shrinks
// beyond kFastShrink would take too many taps per target pixel, so they sum
// whole runs of source pixels exactly and divide once per channel, rounding.
#include "ui/picture_scale.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace ui {
namespace {

constexpr uint32_t kBits = 16;
constexpr uint32_t kOne = 1u << kBits;

// Up to this many source pixels per target pixel a target pixel has at most
// kFastShrink + 1 taps; rounding each running total of their weights to
// 1/kOne then costs under 0.01 of a level per axis.
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

// A row between the passes holds each channel in 16 bits, 256 times its
// level: channel k in bits 16k to 16k + 15.
constexpr uint64_t kFine = 0x0000FFFF0000FFFFull;  // channels 0 and 2 of a fine pixel

// Channels 0 and 2 of a sum of taps (and 1 and 3 of `hi`), each 2^kBits
// times its level in a 32-bit lane, rounded to a fine pixel.
uint64_t fine(uint64_t lo, uint64_t hi) {
    constexpr uint64_t kHalfFine = 0x0000008000000080ull, kKept = 0x00FFFF0000FFFF00ull;
    return ((lo + kHalfFine) & kKept) >> 8 | ((hi + kHalfFine) & kKept) << 8;
}

uint64_t fine(uint32_t p) {
    return (uint64_t(p & 0xFF) | uint64_t(p & 0xFF00) << 8 | uint64_t(p & 0xFF0000) << 16 | uint64_t(p & 0xFF000000) << 24) << 8;
}

// The same sums rounded to whole levels.
uint32_t whole(uint64_t lo, uint64_t hi) {
    constexpr uint64_t kHalfWhole = 0x0000800000008000ull;
    lo = (lo + kHalfWhole) >> kBits, hi = (hi + kHalfWhole) >> kBits;
    return uint32_t(lo & 0xFF) | uint32_t(hi & 0xFF) << 8 | uint32_t(lo >> 32 & 0xFF) << 16 | uint32_t(hi >> 32) << 24;
}

// Out is uint64_t for fine rows, uint32_t for whole levels.
template <class Out>
void fastRow(const uint32_t* src, const Axis& across, Out* out) {
    for (std::size_t x = 0; x + 1 < across.first.size(); ++x) {
        uint64_t lo = 0, hi = 0;
        for (std::size_t t = across.first[x]; t < across.first[x + 1]; ++t) {
            uint32_t p = src[across.taps[t].from], w = across.taps[t].weight;
            lo += apart(p) * w;
            hi += apart(p >> 8) * w;
        }
        if constexpr (sizeof(Out) == 8)
            out[x] = fine(lo, hi);
        else
            out[x] = whole(lo, hi);
    }
}

// Each target row sums the fine rows it covers: a lane reaches at most
// 255 * 256 * 2^kBits plus the rounding half, below 2^32. The taps of
// successive target rows move down in step, at most kFastShrink + 1 rows to
// a target row, so each source row is made by `across` when first needed and
// kept only while a later target row may still use it.
template <class Across>
void fastDown(Across across, std::size_t width, const Axis& down, uint32_t* to) {
    constexpr uint64_t kHalfDown = 0x0080000000800000ull;
    constexpr int kKept = kFastShrink + 2;
    std::vector<uint64_t> kept(kKept * width), lo(width), hi(width);
    int made[kKept];
    std::fill(made, made + kKept, -1);
    auto row = [&](int j) {
        uint64_t* r = &kept[std::size_t(j % kKept) * width];
        if (made[j % kKept] != j) across(j, r), made[j % kKept] = j;
        return r;
    };
    for (std::size_t y = 0; y + 1 < down.first.size(); ++y) {
        uint32_t* out = to + y * width;
        const std::size_t t0 = down.first[y], t1 = down.first[y + 1];
        if (t1 - t0 == 1) {  // a whole source row: only rounds
            const uint64_t* r = row(down.taps[t0].from);
            for (std::size_t x = 0; x < width; ++x) out[x] = whole(r[x] << 8 & kFine << 8, r[x] >> 8 & kFine << 8);
            continue;
        }
        std::fill(lo.begin(), lo.end(), kHalfDown);
        std::fill(hi.begin(), hi.end(), kHalfDown);
        for (std::size_t t = t0; t < t1; ++t) {
            const uint64_t* r = row(down.taps[t].from);
            uint64_t w = down.taps[t].weight;
            for (std::size_t x = 0; x < width; ++x) {
                lo[x] += (r[x] & kFine) * w;
                hi[x] += (r[x] >> 16 & kFine) * w;
            }
        }
        for (std::size_t x = 0; x < width; ++x)
            out[x] = uint32_t(lo[x] >> 24 & 0xFF) | uint32_t(hi[x] >> 16 & 0xFF00) | uint32_t(lo[x] >> 40 & 0xFF0000) |
                     uint32_t(hi[x] >> 32 & 0xFF000000);
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
    const std::size_t width = std::size_t(toWidth), height = std::size_t(fromHeight);
    if (fromWidth == toWidth && fromHeight == toHeight) {
        std::memcpy(to, from, width * height * sizeof *to);
        return;
    }
    // Across each source row first, into rows of the target's width.
    const bool byRuns = strongShrink(fromWidth, toWidth);
    if (!strongShrink(fromHeight, toHeight)) {
        // Fine rows, each made when the first target row needs it.
        if (byRuns) {
            Runs across = axisRuns(fromWidth, toWidth);
            std::vector<uint32_t> levels(width);
            fastDown(
                [&](int j, uint64_t* out) {
                    const uint32_t* src = from + std::size_t(j) * std::size_t(fromWidth);
                    if (across.whole < kNarrowWhole)
                        shrinkAcross<NarrowSums>(src, fromWidth, 1, across, levels.data());
                    else
                        shrinkAcross<WideSums>(src, fromWidth, 1, across, levels.data());
                    std::transform(levels.begin(), levels.end(), out, [](uint32_t p) { return fine(p); });
                },
                width, axisTaps(fromHeight, toHeight), to);
        } else {
            Axis across = axisTaps(fromWidth, toWidth);
            fastDown([&](int j, uint64_t* out) { fastRow(from + std::size_t(j) * std::size_t(fromWidth), across, out); },
                     width, axisTaps(fromHeight, toHeight), to);
        }
        return;
    }
    Runs down = axisRuns(fromHeight, toHeight);
    if (!byRuns) {
        // Down first, so that only the target's rows go across.
        const std::size_t fromRow = std::size_t(fromWidth);
        std::vector<uint32_t> rows(std::size_t(toHeight) * fromRow);
        if (down.whole < kNarrowWhole)
            shrinkDown<NarrowSums>(from, fromRow, down, rows.data());
        else
            shrinkDown<WideSums>(from, fromRow, down, rows.data());
        Axis across = axisTaps(fromWidth, toWidth);
        for (std::size_t y = 0; y < std::size_t(toHeight); ++y) fastRow(&rows[y * fromRow], across, to + y * width);
        return;
    }
    // Whole levels, every row at once.
    std::vector<uint32_t> rows(height * width);
    Runs across = axisRuns(fromWidth, toWidth);
    if (across.whole < kNarrowWhole)
        shrinkAcross<NarrowSums>(from, fromWidth, fromHeight, across, rows.data());
    else
        shrinkAcross<WideSums>(from, fromWidth, fromHeight, across, rows.data());
    if (down.whole < kNarrowWhole)
        shrinkDown<NarrowSums>(rows.data(), width, down, to);
    else
        shrinkDown<WideSums>(rows.data(), width, down, to);
}

}  // namespace ui
