#include "gray_dither.h"

#include <algorithm>
#include <cstddef>

namespace velmora {

namespace {

constexpr int kMaxSample = 255;

// The value of level j of levels + 1, rounded as libjpeg rounds it.
uint8_t LevelValue(int j, int maxLevel) {
    return static_cast<uint8_t>((j * kMaxSample + maxLevel / 2) / maxLevel);
}

// The largest input value that still maps to level j: the midpoint to the next level.
int LargestInputOf(int j, int maxLevel) {
    return ((2 * j + 1) * kMaxSample + maxLevel) / (2 * maxLevel);
}

}  // namespace

GrayDither::GrayDither(int width, int levels)
    : width_(width), errors_(static_cast<size_t>(width) + 2, 0) {
    const int maxLevel = levels - 1;
    levels_.resize(static_cast<size_t>(levels));
    for (int j = 0; j < levels; ++j) {
        levels_[static_cast<size_t>(j)] = LevelValue(j, maxLevel);
    }
    int level = 0;
    int largest = LargestInputOf(0, maxLevel);
    for (int value = 0; value <= kMaxSample; ++value) {
        while (value > largest) {
            largest = LargestInputOf(++level, maxLevel);
        }
        levelOf_[static_cast<size_t>(value)] = static_cast<uint8_t>(level);
    }
}

void GrayDither::RowToBgr(const uint8_t* gray, uint8_t* bgr) {
    const int step = rightToLeft_ ? -1 : 1;
    int x = rightToLeft_ ? width_ - 1 : 0;
    // The entry of the column before the first one taken.
    int16_t* error = errors_.data() + (rightToLeft_ ? width_ + 1 : 0);
    int carried = 0;    // 7/16 of the previous pixel's error, for this one
    int below = 0;      // 1/16 of the previous pixel's error, for the entry below this one
    int belowLeft = 0;  // what the previous column's entry gets: 5/16 and 1/16 so far
    for (int n = width_; n > 0; --n, x += step, error += step) {
        // The shift rounds down, negative errors too, as libjpeg's does.
        int value = (carried + error[step] + 8) >> 4;
        value = std::clamp(value + gray[x], 0, kMaxSample);
        const uint8_t level = levels_[levelOf_[static_cast<size_t>(value)]];
        uint8_t* pixel = bgr + static_cast<std::ptrdiff_t>(x) * 3;
        pixel[0] = pixel[1] = pixel[2] = level;
        const int left = value - level;
        error[0] = static_cast<int16_t>(belowLeft + 3 * left);
        belowLeft = below + 5 * left;
        below = left;
        carried = 7 * left;
    }
    error[0] = static_cast<int16_t>(belowLeft);
    rightToLeft_ = !rightToLeft_;
}

}  // namespace velmora
