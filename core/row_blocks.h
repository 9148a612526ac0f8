// Decoded rows handed from a decoder on one thread to an encoder on another, a block of rows
// at a time, through a fixed ring of blocks: the decoder writes straight into a free block and
// waits while every block is still with the encoder, so memory stays a few blocks whatever the
// picture's height.
#pragma once

#include <algorithm>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <vector>

namespace velmora {

// Blocks of rows between one stage and the next: enough that neither waits on the other for
// every row, few enough to stay small beside libjpeg's own buffers.
inline constexpr int kStageRowsPerBlock = 16;
inline constexpr int kStageBlocks = 4;

class RowBlocks {
  public:
    // Allocates blockCount blocks of rowsPerBlock rows of rowBytes (std::bad_alloc).
    RowBlocks(size_t rowBytes, int rowsPerBlock, int blockCount);

    size_t RowBytes() const { return rowBytes_; }
    int RowsPerBlock() const { return rowsPerBlock_; }

    // Writer: a free block to fill, waiting while none is free; nullptr once the reader has
    // stopped.
    uint8_t* FreeBlock();
    // Writer: the block from FreeBlock holds `rows` rows now.
    void Hand(int rows);
    // Writer: no more blocks come (after the last one, or because the writer failed).
    void Close();
    // Writer: `rows` rows in blocks, each written by readRow(row) straight into its block;
    // false when the reader stopped first. Does not close.
    template <typename ReadRow>
    bool WriteRows(int rows, ReadRow&& readRow) {
        for (int y = 0; y < rows;) {
            uint8_t* block = FreeBlock();
            if (!block) {
                return false;
            }
            const int count = std::min(rowsPerBlock_, rows - y);
            for (int i = 0; i < count; ++i) {
                readRow(block + static_cast<size_t>(i) * rowBytes_);
            }
            Hand(count);
            y += count;
        }
        return true;
    }

    struct Block {
        const uint8_t* rows = nullptr;
        int count = 0;
    };
    // Reader: the next handed block, waiting for it; a block of no rows once the writer has
    // closed and every block was taken. The block stays the reader's until the next Take.
    Block Take();
    // Reader: stops taking; the writer's next FreeBlock returns nullptr.
    void Stop();

    // For tests: called (with the side's name, "writer" or "reader") just before a side
    // starts to wait, outside the lock.
    std::function<void(const char* side)> onWait;

  private:
    uint8_t* BlockData(uint64_t index);

    const size_t rowBytes_;
    const int rowsPerBlock_;
    const uint64_t blockCount_;
    std::vector<uint8_t> storage_;
    std::vector<int> counts_;

    std::mutex mutex_;
    std::condition_variable changed_;
    uint64_t handed_ = 0;    // blocks handed by the writer
    uint64_t taken_ = 0;     // blocks taken by the reader
    uint64_t released_ = 0;  // blocks the reader is done with
    bool closed_ = false;
    bool stopped_ = false;
};

}  // namespace velmora
