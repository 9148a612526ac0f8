// The hand-over between the two threads of a conversion's stages, held step by step with
// gates: the decoder never writes into a block the encoder still reads, and either side
// stopping or failing frees the other.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "core/byte_channel.h"
#include "core/conversion_stages.h"
#include "core/jpeg_image.h"
#include "core/jpeg_reader.h"
#include "core/row_blocks.h"
#include "support/gate.h"
#include "support/jpeg_fixture.h"

namespace velmora::test {
namespace {

// Opens the gates in turn each time the writer starts to wait.
class WriterWaits {
  public:
    explicit WriterWaits(RowBlocks& blocks) {
        blocks.onWait = [this](const char* side) {
            if (std::string(side) == "writer" && next_ < gates_.size()) {
                gates_[next_++].Open();
            }
        };
    }
    bool Wait(size_t time) { return gates_[time].Wait(); }

  private:
    std::vector<Gate> gates_ = std::vector<Gate>(8);
    size_t next_ = 0;  // touched by the writer only
};

constexpr int kBlocksInRing = 2;

TEST(RowBlocks, WriterWaitsWhileEveryBlockIsWithTheReader) {
    RowBlocks blocks(4, 1, kBlocksInRing);
    WriterWaits waits(blocks);
    std::thread writer([&] {
        for (uint8_t value = 0; value < 5; ++value) {
            uint8_t* block = blocks.FreeBlock();
            ASSERT_NE(block, nullptr);
            std::memset(block, value, blocks.RowBytes());
            blocks.Hand(1);
        }
        blocks.Close();
    });
    // Both blocks handed, nothing taken: the writer waits for the third.
    ASSERT_TRUE(waits.Wait(0));
    RowBlocks::Block first = blocks.Take();
    ASSERT_EQ(first.count, 1);
    EXPECT_EQ(first.rows[0], 0);
    // The reader still holds block 0: the writer may not have it.
    RowBlocks::Block second = blocks.Take();
    EXPECT_EQ(second.rows[0], 1);
    // Block 0 was given back by that Take and refilled; block 1 is still the reader's.
    ASSERT_TRUE(waits.Wait(1));
    EXPECT_EQ(second.rows[0], 1);
    EXPECT_EQ(second.rows[3], 1);
    std::vector<int> rest;
    for (RowBlocks::Block block = blocks.Take(); block.count != 0; block = blocks.Take()) {
        rest.push_back(block.rows[0]);
    }
    writer.join();
    EXPECT_EQ(rest, (std::vector<int>{2, 3, 4}));
}

TEST(RowBlocks, ReaderThatStopsReleasesAWaitingWriter) {
    RowBlocks blocks(8, 4, kBlocksInRing);
    WriterWaits waits(blocks);
    int handed = 0;
    std::thread writer([&] {
        while (uint8_t* block = blocks.FreeBlock()) {
            std::memset(block, 7, blocks.RowBytes() * 4);
            blocks.Hand(4);
            ++handed;
        }
    });
    ASSERT_TRUE(waits.Wait(0));
    blocks.Stop();
    writer.join();
    EXPECT_EQ(handed, kBlocksInRing);
}

TEST(RowBlocks, ReaderGetsTheLastShortBlockThenTheEnd) {
    RowBlocks blocks(3, 4, kBlocksInRing);
    std::thread writer([&] {
        std::memset(blocks.FreeBlock(), 1, size_t{3} * 4);
        blocks.Hand(4);
        std::memset(blocks.FreeBlock(), 2, size_t{3});
        blocks.Hand(1);
        blocks.Close();
    });
    EXPECT_EQ(blocks.Take().count, 4);
    const RowBlocks::Block last = blocks.Take();
    EXPECT_EQ(last.count, 1);
    EXPECT_EQ(last.rows[2], 2);
    EXPECT_EQ(blocks.Take().count, 0);
    writer.join();
}

std::string TakeAll(ByteChannel& channel, ByteChannel::TTake& how) {
    std::string taken;
    const uint8_t* data = nullptr;
    size_t size = 0;
    while ((how = channel.Take(data, size)) == ByteChannel::TTake::kData) {
        EXPECT_NE(size, 0U) << "libjpeg must never get an empty buffer";
        taken.append(reinterpret_cast<const char*>(data), size);
    }
    return taken;
}

void Publish(ByteChannel& channel, const std::string& text) {
    std::memcpy(channel.NewChunk(), text.data(), text.size());
    channel.Publish(text.size());
}

TEST(ByteChannel, ReaderWaitsForEveryChunkInOrderAndSkipsEmptyOnes) {
    ByteChannel channel;
    Gate readerStarted;
    ByteChannel::TTake how = ByteChannel::TTake::kData;
    std::string taken;
    std::thread reader([&] {
        readerStarted.Open();
        taken = TakeAll(channel, how);
    });
    ASSERT_TRUE(readerStarted.Wait());
    Publish(channel, "abc");
    Publish(channel, "");
    Publish(channel, "defg");
    channel.NewChunk();  // begun but never written: not part of the bytes
    channel.Close(false);
    reader.join();
    EXPECT_EQ(taken, "abcdefg");
    EXPECT_EQ(how, ByteChannel::TTake::kEnd);
    EXPECT_EQ(channel.Size(), 7U);
}

TEST(ByteChannel, WriterThatFailsStopsTheReader) {
    ByteChannel channel;
    Publish(channel, "abc");
    channel.Close(true);
    ByteChannel::TTake how = ByteChannel::TTake::kData;
    TakeAll(channel, how);
    EXPECT_EQ(how, ByteChannel::TTake::kFailed);
}

// The quality preview's encoding decoded as it is written, on a picture of many chunks.
TEST(EncodeAndDecode, TwoThreadsGiveThePixelsAndSizeOfOne) {
    const std::vector<uint8_t> source = EncodeJpeg(MakePattern(1600, 1200));
    TBitmap picture;
    jpeg::DecodeInto(source.data(), source.size(), TJPEGDecodeDepth::jd24bit, picture);
    for (const int quality : {100, 75, 0}) {
        uint64_t oneSize = 0;
        uint64_t twoSize = 0;
        const TBitmap one = EncodeAndDecode(
            picture, quality, TJPEGDecodeDepth::jd24bit, [&](uint64_t size) { oneSize = size; },
            TStageThreads::kOne);
        const TBitmap two = EncodeAndDecode(
            picture, quality, TJPEGDecodeDepth::jd24bit, [&](uint64_t size) { twoSize = size; },
            TStageThreads::kTwo);
        if (quality != 0) {
            EXPECT_GT(oneSize, ByteChannel::kChunkBytes) << quality;
        }
        EXPECT_EQ(twoSize, oneSize) << quality;
        ASSERT_EQ(two.Width(), one.Width());
        ASSERT_EQ(two.Height(), one.Height());
        for (int y = 0; y < one.Height(); ++y) {
            ASSERT_EQ(std::memcmp(two.ScanLine(y), one.ScanLine(y), size_t{1600} * 3), 0)
                << "quality " << quality << ", row " << y;
        }
    }
}

}  // namespace
}  // namespace velmora::test
