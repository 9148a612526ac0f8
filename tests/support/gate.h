// A one-time signal between a test and the thread it drives, waited for with the hang bound.
#pragma once

#include <condition_variable>
#include <mutex>

#include "support/hang_bound.h"

namespace velmora::test {

class Gate {
  public:
    void Open() {
        const std::lock_guard lock(mutex_);
        open_ = true;
        changed_.notify_all();
    }
    // False when the gate stayed shut for the whole hang bound.
    bool Wait() {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, kHangBound, [this] { return open_; });
    }

  private:
    std::mutex mutex_;
    std::condition_variable changed_;
    bool open_ = false;
};

}  // namespace velmora::test
