#include "row_blocks.h"

namespace velmora {

RowBlocks::RowBlocks(size_t rowBytes, int rowsPerBlock, int blockCount)
    : rowBytes_(rowBytes),
      rowsPerBlock_(rowsPerBlock),
      blockCount_(static_cast<uint64_t>(blockCount)),
      storage_(rowBytes * static_cast<size_t>(rowsPerBlock) * static_cast<size_t>(blockCount)),
      counts_(static_cast<size_t>(blockCount), 0) {}

uint8_t* RowBlocks::BlockData(uint64_t index) {
    return storage_.data() + (index % blockCount_) * rowBytes_ * static_cast<size_t>(rowsPerBlock_);
}

uint8_t* RowBlocks::FreeBlock() {
    std::unique_lock lock(mutex_);
    const auto ready = [this] { return stopped_ || handed_ - released_ < blockCount_; };
    if (!ready() && onWait) {
        lock.unlock();
        onWait("writer");
        lock.lock();
    }
    changed_.wait(lock, ready);
    return stopped_ ? nullptr : BlockData(handed_);
}

void RowBlocks::Hand(int rows) {
    {
        const std::lock_guard lock(mutex_);
        counts_[handed_ % blockCount_] = rows;
        ++handed_;
    }
    changed_.notify_all();
}

void RowBlocks::Close() {
    {
        const std::lock_guard lock(mutex_);
        closed_ = true;
    }
    changed_.notify_all();
}

RowBlocks::Block RowBlocks::Take() {
    std::unique_lock lock(mutex_);
    released_ = taken_;
    changed_.notify_all();
    const auto ready = [this] { return closed_ || taken_ < handed_; };
    if (!ready() && onWait) {
        lock.unlock();
        onWait("reader");
        lock.lock();
    }
    changed_.wait(lock, ready);
    if (taken_ == handed_) {
        return {};
    }
    const Block block{BlockData(taken_), counts_[taken_ % blockCount_]};
    ++taken_;
    return block;
}

void RowBlocks::Stop() {
    {
        const std::lock_guard lock(mutex_);
        stopped_ = true;
    }
    changed_.notify_all();
}

}  // namespace velmora
