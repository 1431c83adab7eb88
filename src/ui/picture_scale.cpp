// A separable box filter in fixed point: the weights of each target pixel sum
// to exactly kOne, so a plain area keeps its exact colour.
#include "ui/picture_scale.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace ui {
namespace {

constexpr uint32_t kBits = 12;
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

Axis axisTaps(int fromSize, int toSize) {
    Axis a;
    a.first.reserve(std::size_t(toSize) + 1);
    double step = double(fromSize) / toSize;  // source pixels per target pixel
    for (int i = 0; i < toSize; ++i) {
        a.first.push_back(a.taps.size());
        double begin = i * step, end = std::min(double(fromSize), (i + 1) * step);
        int j0 = int(std::floor(begin)), j1 = std::min(fromSize - 1, int(std::ceil(end)) - 1);
        std::size_t start = a.taps.size();
        uint32_t sum = 0;
        for (int j = j0; j <= j1; ++j) {
            double cover = std::min(end, double(j + 1)) - std::max(begin, double(j));
            uint32_t w = uint32_t(std::lround(cover / step * kOne));
            if (w == 0) continue;
            a.taps.push_back(Tap{j, w});
            sum += w;
        }
        if (a.taps.size() == start) {  // rounding left nothing: the nearest pixel
            a.taps.push_back(Tap{std::clamp(j0, 0, fromSize - 1), kOne});
            continue;
        }
        // Rounding may miss the total by a little: the heaviest tap takes it.
        auto heaviest = std::max_element(a.taps.begin() + std::ptrdiff_t(start), a.taps.end(),
                                         [](const Tap& x, const Tap& y) { return x.weight < y.weight; });
        heaviest->weight = heaviest->weight + kOne - sum;
    }
    a.first.push_back(a.taps.size());
    return a;
}

}  // namespace

void scalePixels(const uint32_t* from, int fromWidth, int fromHeight, uint32_t* to, int toWidth, int toHeight) {
    if (fromWidth < 1 || fromHeight < 1 || toWidth < 1 || toHeight < 1) return;
    Axis across = axisTaps(fromWidth, toWidth), down = axisTaps(fromHeight, toHeight);
    // Across first, into rows of 16-bit channels that keep 8 bits of fraction.
    std::vector<uint16_t> rows(std::size_t(fromHeight) * std::size_t(toWidth) * 4);
    for (int y = 0; y < fromHeight; ++y) {
        const uint32_t* src = from + std::size_t(y) * std::size_t(fromWidth);
        uint16_t* out = &rows[std::size_t(y) * std::size_t(toWidth) * 4];
        for (int x = 0; x < toWidth; ++x) {
            uint32_t acc[4] = {0, 0, 0, 0};
            for (std::size_t t = across.first[std::size_t(x)]; t < across.first[std::size_t(x) + 1]; ++t) {
                uint32_t p = src[across.taps[t].from], w = across.taps[t].weight;
                for (int c = 0; c < 4; ++c) acc[c] += ((p >> (8 * c)) & 0xFF) * w;
            }
            for (int c = 0; c < 4; ++c) out[x * 4 + c] = uint16_t((acc[c] + (1u << (kBits - 9))) >> (kBits - 8));
        }
    }
    // Then down each column of those rows.
    for (int y = 0; y < toHeight; ++y) {
        uint32_t* out = to + std::size_t(y) * std::size_t(toWidth);
        for (int x = 0; x < toWidth; ++x) {
            uint32_t acc[4] = {0, 0, 0, 0};
            for (std::size_t t = down.first[std::size_t(y)]; t < down.first[std::size_t(y) + 1]; ++t) {
                const uint16_t* p = &rows[(std::size_t(down.taps[t].from) * std::size_t(toWidth) + std::size_t(x)) * 4];
                uint32_t w = down.taps[t].weight;
                for (int c = 0; c < 4; ++c) acc[c] += p[c] * w;
            }
            uint32_t pixel = 0;
            for (int c = 0; c < 4; ++c) {
                uint32_t v = (acc[c] + (1u << (kBits + 7))) >> (kBits + 8);
                pixel |= std::min<uint32_t>(v, 255) << (8 * c);
            }
            out[x] = pixel;
        }
    }
}

}  // namespace ui
