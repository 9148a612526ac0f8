// The percent size rule and the area-averaging shrink.
#include <gtest/gtest.h>

#include <utility>

#include <random>

#include "bitmap_convert.h"
#include "core/errors.h"
#include "core/resize.h"

namespace velmora::test {
namespace {

TEST(PercentSize, RoundsTheExtendedProductHalfToEven) {
    struct Case {
        int side, percent, expected;
    };
    const Case cases[] = {
        {1023, 50, 512}, {1025, 50, 512}, {15, 10, 2},  {25, 10, 2},       {650, 9, 59},
        {150, 21, 31},   {190, 15, 29},   {95, 30, 29}, {150, 1, 2},       {50, 1, 0},
        {1024, 50, 512}, {768, 50, 384},  {5, 50, 2},   {7, 50, 4},        {3, 50, 2},
        {1, 49, 0},      {4000, 0, 0},    {0, 100, 0},  {4321, 100, 4321},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PercentSize(c.side, c.percent), c.expected) << c.side << " at " << c.percent;
    }
}

TBitmap Gray24(const std::vector<std::vector<uint8_t>>& rows) {
    TBitmap bitmap(int(rows[0].size()), int(rows.size()));
    for (int y = 0; y < bitmap.Height(); ++y) {
        for (int x = 0; x < bitmap.Width(); ++x) {
            for (int c = 0; c < 3; ++c) {
                bitmap.ScanLine(y)[3 * x + c] = rows[y][x];
            }
        }
    }
    return bitmap;
}

TEST(StretchToBitmap, EveryTargetPixelIsTheMeanOfItsSourceArea) {
    // Three columns onto two: each target pixel covers one and a half source pixels.
    TBitmap target(2, 1);
    StretchToBitmap(target, Gray24({{0, 90, 180}}));
    EXPECT_EQ(target.ScanLine(0)[0], 30);   // (0 + 90 / 2) / 1.5
    EXPECT_EQ(target.ScanLine(0)[3], 150);  // (90 / 2 + 180) / 1.5

    TBitmap square(2, 2);
    StretchToBitmap(
        square,
        Gray24({{0, 40, 100, 100}, {80, 120, 100, 100}, {10, 10, 0, 255}, {10, 10, 255, 0}}));
    EXPECT_EQ(RgbAt(square, 0, 0)[0], 60);
    EXPECT_EQ(RgbAt(square, 1, 0)[0], 100);
    EXPECT_EQ(RgbAt(square, 0, 1)[0], 10);
    EXPECT_EQ(RgbAt(square, 1, 1)[0], 128);  // 127.5 rounds up
}

TEST(StretchToBitmap, ChannelsStaySeparateAndPaletteSourcesShowTheirColours) {
    TBitmap source(4, 2, TPixelFormat::pf8bit);
    source.SetPalette({{255, 0, 0, 0}, {0, 0, 255, 0}});
    for (int y = 0; y < 2; ++y) {
        source.ScanLine(y)[0] = source.ScanLine(y)[1] = 0;
        source.ScanLine(y)[2] = source.ScanLine(y)[3] = 1;
    }
    TBitmap target(2, 1);
    StretchToBitmap(target, source);
    ASSERT_EQ(target.PixelFormat(), TPixelFormat::pf24bit);
    EXPECT_EQ(RgbAt(target, 0, 0), (std::array<uint8_t, 3>{255, 0, 0}));
    EXPECT_EQ(RgbAt(target, 1, 0), (std::array<uint8_t, 3>{0, 0, 255}));
}

TEST(StretchToBitmap, EqualSizeCopiesAndNoAreaDrawsNothing) {
    TBitmap source = ToBitmap(MakePattern(13, 7));
    source.SetMetadata({.orientation = 3});
    TBitmap copy(13, 7);
    StretchToBitmap(copy, source);
    EXPECT_EQ(copy.Metadata().orientation, 1) << "the target keeps its own metadata";
    for (int y = 0; y < 7; ++y) {
        EXPECT_TRUE(std::equal(source.ScanLine(y), source.ScanLine(y) + 39, copy.ScanLine(y)));
    }
    copy.ScanLine(0)[0] ^= 0xFF;
    EXPECT_NE(copy.ScanLine(0)[0], std::as_const(source).ScanLine(0)[0]);
    TBitmap none;
    StretchToBitmap(none, source);
    EXPECT_TRUE(none.Empty());
}

// The source area under one target pixel, straight from the definition: source pixel (x, y)
// covers [x·tw, (x + 1)·tw) × [y·th, (y + 1)·th) and target pixel (tx, ty) covers
// [tx·sw, (tx + 1)·sw) × [ty·sh, (ty + 1)·sh); each source value counts with the overlap, and
// the overlaps under one target pixel add up to sw·sh.
uint64_t AreaSum(const TBitmap& source, int tw, int th, int tx, int ty, int channel) {
    const int64_t sw = source.Width(), sh = source.Height();
    auto overlap = [](int64_t a0, int64_t a1, int64_t b0, int64_t b1) {
        return std::max<int64_t>(0, std::min(a1, b1) - std::max(a0, b0));
    };
    uint64_t sum = 0;
    for (int64_t y = ty * sh / th; y < sh && y * th < (ty + 1) * sh; ++y) {
        const int64_t wy = overlap(y * th, (y + 1) * th, ty * sh, (ty + 1) * sh);
        const uint8_t* row = source.ScanLine(int(y));
        for (int64_t x = tx * sw / tw; x < sw && x * tw < (tx + 1) * sw; ++x) {
            const int64_t wx = overlap(x * tw, (x + 1) * tw, tx * sw, (tx + 1) * sw);
            sum += uint64_t(wx * wy) * row[3 * x + channel];
        }
    }
    return sum;
}

// Every target channel value must be the exact mean rounded to the nearest, halves up.
void ExpectAreaMeans(const TBitmap& source, int tw, int th) {
    TBitmap target(tw, th);
    StretchToBitmap(target, source);
    const uint64_t area = uint64_t(source.Width()) * uint64_t(source.Height());
    int failures = 0;
    for (int ty = 0; ty < th && failures < 5; ++ty) {
        for (int tx = 0; tx < tw && failures < 5; ++tx) {
            for (int c = 0; c < 3; ++c) {
                const uint64_t sum = AreaSum(source, tw, th, tx, ty, c);
                const int value = target.ScanLine(ty)[3 * tx + c];
                if (uint64_t(value) != (sum + area / 2) / area) {
                    ADD_FAILURE() << source.Width() << "x" << source.Height() << " to " << tw << "x"
                                  << th << " at (" << tx << ", " << ty << ") channel " << c << ": "
                                  << value << " for a mean of " << double(sum) / area;
                    ++failures;
                }
            }
        }
    }
}

TBitmap RandomBitmap(int width, int height, std::mt19937& random) {
    TBitmap bitmap(width, height);
    for (int y = 0; y < height; ++y) {
        uint8_t* row = bitmap.ScanLine(y);
        for (int x = 0; x < width * 3; ++x) {
            row[x] = uint8_t(random() >> 24);
        }
    }
    return bitmap;
}

TEST(StretchToBitmap, MatchesTheAreaMeanOnRandomSizes) {
    std::mt19937 random(7);
    std::uniform_int_distribution<int> side(1, 160);
    for (int i = 0; i < 150; ++i) {
        const int sw = side(random), sh = side(random);
        const TBitmap source = RandomBitmap(sw, sh, random);
        const int tw = std::uniform_int_distribution<int>(1, sw)(random);
        const int th = std::uniform_int_distribution<int>(1, sh)(random);
        ExpectAreaMeans(source, tw, th);
    }
}

TEST(StretchToBitmap, MatchesTheAreaMeanAtTheExtremes) {
    std::mt19937 random(11);
    struct Case {
        int sw, sh, tw, th;
    };
    const Case cases[] = {
        {1, 1, 1, 1},
        {1, 500, 1, 1},
        {500, 1, 1, 1},
        {997, 5, 499, 5},
        {5, 997, 5, 3},
        {1000, 3, 999, 2},
        {64, 64, 32, 32},
        {1023, 4, 512, 2},
        {1025, 2, 512, 1},
        // A target pixel over so many source pixels that its sums outgrow 32 bits.
        {24001, 800, 5, 3},
    };
    for (const Case& c : cases) {
        ExpectAreaMeans(RandomBitmap(c.sw, c.sh, random), c.tw, c.th);
    }
}

TEST(StretchToBitmap, LargerTargetsAreRefused) {
    const TBitmap source = ToBitmap(MakePattern(10, 10));
    TBitmap wider(11, 5);
    EXPECT_THROW(StretchToBitmap(wider, source), EInvalidGraphicOperation);
    TBitmap taller(5, 11);
    EXPECT_THROW(StretchToBitmap(taller, source), EInvalidGraphicOperation);
}

TEST(StretchToBitmap, LargeShrinkKeepsTheMean) {
    const TBitmap source = ToBitmap(MakePattern(997, 601));
    TBitmap target(PercentSize(997, 3), PercentSize(601, 3));
    StretchToBitmap(target, source);
    auto mean = [](const TBitmap& b) {
        double sum = 0;
        for (int y = 0; y < b.Height(); ++y) {
            for (int x = 0; x < b.Width() * 3; ++x) {
                sum += b.ScanLine(y)[x];
            }
        }
        return sum / (double(b.Width()) * b.Height() * 3);
    };
    EXPECT_NEAR(mean(target), mean(source), 0.5);
}

}  // namespace
}  // namespace velmora::test
