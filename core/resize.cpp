#include "resize.h"

#include <cmath>
#include <cstring>
#include <vector>

namespace velmora {

namespace {

// How much of each source pixel falls into one target pixel along one axis. Positions are
// counted in units of 1/target so that every overlap is a whole number; the weights of one
// target pixel add up to the source length.
struct AxisWeights {
    std::vector<int> first;        // first source index per target index
    std::vector<int> count;        // number of source pixels per target index
    std::vector<uint32_t> weight;  // weights, target by target
    std::vector<size_t> offset;    // where each target's weights start
};

AxisWeights MakeAxisWeights(int sourceLength, int targetLength) {
    AxisWeights axis;
    axis.first.resize(static_cast<size_t>(targetLength));
    axis.count.resize(static_cast<size_t>(targetLength));
    axis.offset.resize(static_cast<size_t>(targetLength));
    for (int t = 0; t < targetLength; ++t) {
        const int64_t lo = int64_t{t} * sourceLength;
        const int64_t hi = lo + sourceLength;
        const int first = static_cast<int>(lo / targetLength);
        const int last = static_cast<int>((hi - 1) / targetLength);
        axis.first[t] = first;
        axis.count[t] = last - first + 1;
        axis.offset[t] = axis.weight.size();
        for (int s = first; s <= last; ++s) {
            const int64_t from = std::max(lo, int64_t{s} * targetLength);
            const int64_t to = std::min(hi, int64_t{s + 1} * targetLength);
            axis.weight.push_back(static_cast<uint32_t>(to - from));
        }
    }
    return axis;
}

// One source row as blue, green, red bytes (palette rows through their colours).
const uint8_t* RowAsBgr(const TBitmap& source, int y, std::vector<uint8_t>& scratch) {
    const uint8_t* row = source.ScanLine(y);
    if (source.PixelFormat() == TPixelFormat::pf24bit) {
        return row;
    }
    const auto& palette = source.Palette();
    for (int x = 0; x < source.Width(); ++x) {
        const size_t i = row[x];
        const TPaletteEntry colour = i < palette.size() ? palette[i] : TPaletteEntry{};
        scratch[3 * x] = colour.blue;
        scratch[3 * x + 1] = colour.green;
        scratch[3 * x + 2] = colour.red;
    }
    return scratch.data();
}

}  // namespace

int PercentSize(int side, int percent) {
    const long double quotient = static_cast<long double>(percent) / 100.0L;
    const long double product = static_cast<long double>(side) * quotient;
    return static_cast<int>(std::nearbyintl(product));
}

void StretchToBitmap(TBitmap& target, const TBitmap& source) {
    target.SetPixelFormat(TPixelFormat::pf24bit);
    if (target.Empty() || source.Empty()) {
        return;
    }
    const int sw = source.Width(), sh = source.Height();
    const int tw = target.Width(), th = target.Height();
    std::vector<uint8_t> scratch(static_cast<size_t>(sw) * 3);
    if (sw == tw && sh == th) {
        for (int y = 0; y < sh; ++y) {
            std::memcpy(target.ScanLine(y), RowAsBgr(source, y, scratch), scratch.size());
        }
        return;
    }
    const AxisWeights columns = MakeAxisWeights(sw, tw);
    const AxisWeights rows = MakeAxisWeights(sh, th);
    const uint64_t total = uint64_t(sw) * uint64_t(sh);
    std::vector<uint32_t> columnSums(static_cast<size_t>(sw) * 3);
    for (int ty = 0; ty < th; ++ty) {
        std::fill(columnSums.begin(), columnSums.end(), 0);
        for (int k = 0; k < rows.count[ty]; ++k) {
            const uint32_t wy = rows.weight[rows.offset[ty] + k];
            const uint8_t* row = RowAsBgr(source, rows.first[ty] + k, scratch);
            for (size_t i = 0; i < columnSums.size(); ++i) {
                columnSums[i] += wy * row[i];
            }
        }
        uint8_t* out = target.ScanLine(ty);
        for (int tx = 0; tx < tw; ++tx) {
            uint64_t sum[3] = {0, 0, 0};
            const uint32_t* w = &columns.weight[columns.offset[tx]];
            const uint32_t* column = &columnSums[size_t(columns.first[tx]) * 3];
            for (int k = 0; k < columns.count[tx]; ++k, column += 3) {
                for (int c = 0; c < 3; ++c) {
                    sum[c] += uint64_t{w[k]} * column[c];
                }
            }
            for (int c = 0; c < 3; ++c) {
                out[3 * tx + c] = static_cast<uint8_t>((sum[c] + total / 2) / total);
            }
        }
    }
}

}  // namespace velmora
