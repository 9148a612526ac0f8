// The percent size rule and the area-averaging shrink.
#include <gtest/gtest.h>

#include "bitmap_convert.h"
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
    const TBitmap source = ToBitmap(MakePattern(13, 7));
    TBitmap copy(13, 7);
    StretchToBitmap(copy, source);
    for (int y = 0; y < 7; ++y) {
        EXPECT_TRUE(std::equal(source.ScanLine(y), source.ScanLine(y) + 39, copy.ScanLine(y)));
    }
    TBitmap none;
    StretchToBitmap(none, source);
    EXPECT_TRUE(none.Empty());
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
