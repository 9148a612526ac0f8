#include "row_progress.h"

namespace velmora {

void RowProgress::Reach(int rows) {
    bool wake = false;
    {
        const std::lock_guard lock(mutex_);
        rows_ = rows;
        // The writer reaches every row: waking the reader only when its rows are there keeps
        // the writer from a wake-up for each of them.
        wake = wanted_ != 0 && rows_ >= wanted_;
    }
    if (wake) {
        reached_.notify_one();
    }
}

void RowProgress::Close() {
    {
        const std::lock_guard lock(mutex_);
        closed_ = true;
    }
    reached_.notify_one();
}

bool RowProgress::WaitFor(int rows) {
    std::unique_lock lock(mutex_);
    const auto ready = [&] { return rows_ >= rows || closed_; };
    if (!ready() && onWait) {
        lock.unlock();
        onWait();
        lock.lock();
    }
    wanted_ = rows;
    reached_.wait(lock, ready);
    wanted_ = 0;
    return rows_ >= rows;
}

}  // namespace velmora
