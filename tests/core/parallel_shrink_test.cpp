// The shrink drawn in bands of target rows: any band started on its own gives the rows of the
// shrink from the top, two threads give the bytes of one, and a thread that follows a writer
// draws only bands whose source rows are written.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "core/bitmap.h"
#include "core/box_shrink.h"
#include "core/errors.h"
#include "core/parallel_shrink.h"
#include "core/resize.h"
#include "core/row_progress.h"
#include "support/gate.h"

namespace velmora::test {
namespace {

TBitmap RandomBitmap(int width, int height, std::mt19937& random,
                     TPixelFormat format = TPixelFormat::pf24bit) {
    TBitmap bitmap(width, height, format);
    const int values = format == TPixelFormat::pf24bit ? width * 3 : width;
    for (int y = 0; y < height; ++y) {
        uint8_t* row = bitmap.ScanLine(y);
        for (int x = 0; x < values; ++x) {
            row[x] = uint8_t(random() >> 24);
        }
    }
    if (format == TPixelFormat::pf8bit) {
        std::vector<TPaletteEntry> palette(256);
        for (TPaletteEntry& entry : palette) {
            entry = {uint8_t(random()), uint8_t(random()), uint8_t(random()), 0};
        }
        bitmap.SetPalette(std::move(palette));
    }
    return bitmap;
}

bool SameRows(const TBitmap& a, const TBitmap& b, int from, int to) {
    if (a.Empty() || b.Empty()) {
        return a.Empty() && b.Empty();
    }
    for (int y = from; y < to; ++y) {
        if (std::memcmp(a.ScanLine(y), b.ScanLine(y), size_t(a.Width()) * 3) != 0) {
            return false;
        }
    }
    return true;
}

bool RowsAreZero(const TBitmap& bitmap, int from, int to) {
    for (int y = from; y < to; ++y) {
        const uint8_t* row = bitmap.ScanLine(y);
        for (int x = 0; x < bitmap.Width() * 3; ++x) {
            if (row[x] != 0) {
                return false;
            }
        }
    }
    return true;
}

struct Sides {
    int sw, sh, tw, th;
};

std::string Name(const Sides& s) {
    return std::to_string(s.sw) + "x" + std::to_string(s.sh) + " to " + std::to_string(s.tw) + "x" +
           std::to_string(s.th);
}

// Every target row, drawn by a shrink sought to it, is the row of the shrink from the top:
// whole, shared and fractional source rows at the band's upper edge alike.
TEST(BoxShrinkSeek, EveryTargetRowStartedAloneMatchesTheShrinkFromTheTop) {
    std::mt19937 random(5);
    const Sides cases[] = {
        {1, 1, 1, 1},       {1, 97, 1, 13},   {97, 1, 13, 1},   {7, 10, 3, 9},
        {10, 7, 9, 6},      {64, 64, 32, 32}, {33, 99, 10, 98}, {99, 101, 1, 50},
        {50, 333, 49, 332}, {11, 13, 11, 13},  // equal sides copy rows
    };
    for (const Sides& c : cases) {
        const TBitmap source = RandomBitmap(c.sw, c.sh, random);
        TBitmap whole(c.tw, c.th);
        StretchToBitmap(whole, source);
        std::vector<uint8_t> row(size_t(c.tw) * 3);
        BoxShrink shrink(c.sw, c.sh, c.tw, c.th);
        for (int t = c.th - 1; t >= 0; --t) {
            int y = shrink.Seek(t);
            while (!shrink.AddRow(source.ScanLine(y), row.data())) {
                ++y;
            }
            ASSERT_EQ(std::memcmp(row.data(), whole.ScanLine(t), row.size()), 0)
                << Name(c) << ", target row " << t;
        }
    }
}

// Two threads, the bands falling to them as they come, on sides that leave partial rows,
// single rows and single columns, and at the least and most a percent shrinks.
TEST(StretchToBitmapInBands, TwoThreadsGiveTheBytesOfOne) {
    std::mt19937 random(9);
    const std::pair<int, int> sources[] = {{1, 1000},   {1000, 1},  {2, 3},     {333, 1001},
                                           {1001, 333}, {640, 480}, {257, 129}, {129, 4000}};
    int banded = 0;
    for (const auto& [sw, sh] : sources) {
        for (const TPixelFormat format : {TPixelFormat::pf24bit, TPixelFormat::pf8bit}) {
            const TBitmap source = RandomBitmap(sw, sh, random, format);
            for (const int percent : {1, 37, 50, 99}) {
                const Sides c{sw, sh, PercentSize(sw, percent), PercentSize(sh, percent)};
                TBitmap one(c.tw, c.th);
                StretchToBitmap(one, source);
                TBitmap two(c.tw, c.th);
                StretchToBitmapInBands(two, source, TStageThreads::kTwo);
                banded += ShrinksInBands(c.sw, c.sh, c.tw, c.th);
                ASSERT_EQ(two.Width(), one.Width()) << Name(c);
                ASSERT_EQ(two.Height(), one.Height()) << Name(c);
                EXPECT_EQ(two.PixelFormat(), TPixelFormat::pf24bit);
                EXPECT_TRUE(SameRows(two, one, 0, one.Height()))
                    << Name(c) << (format == TPixelFormat::pf8bit ? " from a palette" : "");
            }
        }
    }
    EXPECT_GT(banded, 20) << "the sides must mostly be drawn in bands";
}

TEST(StretchToBitmapInBands, SizesItDoesNotSplitBehaveAsStretchToBitmap) {
    std::mt19937 random(3);
    const TBitmap source = RandomBitmap(300, 200, random);
    TBitmap equal(300, 200);
    StretchToBitmapInBands(equal, source, TStageThreads::kTwo);
    EXPECT_EQ(equal.Bits(), source.Bits()) << "equal sides share the pixels";
    TBitmap none(0, 0);
    StretchToBitmapInBands(none, source, TStageThreads::kTwo);
    EXPECT_TRUE(none.Empty());
    TBitmap taller(150, 201);
    EXPECT_THROW(StretchToBitmapInBands(taller, source, TStageThreads::kTwo),
                 EInvalidGraphicOperation);
}

// Four bands of 64 source rows each.
class FollowingAWriter : public ::testing::Test {
  protected:
    static constexpr int kSourceRows = 4 * ShrinkBands::kSourceRowsPerBand;
    static constexpr int kBandRows = ShrinkBands::kSourceRowsPerBand / 2;

    FollowingAWriter() {
        std::mt19937 random(1);
        source = RandomBitmap(90, kSourceRows, random);
        StretchToBitmap(expected, source);
        progress.onWait = [this] {
            if (waits < gates.size()) {
                gates[waits++].Open();
            }
        };
    }

    TBitmap source;
    TBitmap expected{45, kSourceRows / 2};
    TBitmap target{45, kSourceRows / 2};
    RowProgress progress;
    std::vector<Gate> gates = std::vector<Gate>(4);
    size_t waits = 0;  // touched by the follower only
};

TEST_F(FollowingAWriter, DrawsABandOnceItsSourceRowsAreWritten) {
    ShrinkBands bands(source.Width(), source.Height(), target);
    ASSERT_EQ(bands.Count(), 4);
    ShrinkBands::Lane lane = bands.NewLane();
    bool finished = false;
    std::thread follower([&] { finished = bands.Run(lane, source, &progress); });
    ASSERT_TRUE(gates[0].Wait());
    // One row short of the first band: the follower keeps waiting and draws nothing.
    progress.Reach(ShrinkBands::kSourceRowsPerBand - 1);
    progress.Reach(ShrinkBands::kSourceRowsPerBand);
    // It waits again, for the second band: the first one is drawn, the second not yet.
    ASSERT_TRUE(gates[1].Wait());
    EXPECT_EQ(waits, 2U);
    EXPECT_TRUE(SameRows(target, expected, 0, kBandRows));
    EXPECT_TRUE(RowsAreZero(target, kBandRows, 2 * kBandRows));
    progress.Reach(kSourceRows);
    progress.Close();
    follower.join();
    EXPECT_TRUE(finished);
    EXPECT_TRUE(SameRows(target, expected, 0, target.Height()));
}

TEST_F(FollowingAWriter, WriterThatClosesEarlyFreesTheFollowerAndTheRestIsLeftToOthers) {
    ShrinkBands bands(source.Width(), source.Height(), target);
    ShrinkBands::Lane lane = bands.NewLane();
    ShrinkBands::Lane other = bands.NewLane();
    bool finished = true;
    std::thread follower([&] { finished = bands.Run(lane, source, &progress); });
    ASSERT_TRUE(gates[0].Wait());
    progress.Reach(ShrinkBands::kSourceRowsPerBand);
    ASSERT_TRUE(gates[1].Wait());
    // The writer fails here: the follower gives up the band it waits for.
    progress.Close();
    follower.join();
    EXPECT_FALSE(finished);
    EXPECT_TRUE(bands.Run(other, source));
    EXPECT_TRUE(SameRows(target, expected, 0, kBandRows));
    EXPECT_TRUE(RowsAreZero(target, kBandRows, 2 * kBandRows));
    EXPECT_TRUE(SameRows(target, expected, 2 * kBandRows, target.Height()));
}

TEST(RowProgress, RowsReachedBeforeTheCloseStillCount) {
    RowProgress progress;
    progress.Reach(10);
    progress.Close();
    EXPECT_TRUE(progress.WaitFor(10));
    EXPECT_FALSE(progress.WaitFor(11));
}

}  // namespace
}  // namespace velmora::test
