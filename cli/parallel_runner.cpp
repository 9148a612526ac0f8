#include "parallel_runner.h"

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

#include "core/helper_thread.h"

namespace velmora::cli {

class OrderedRun {
  public:
    OrderedRun(size_t count, bool oneAtATimeWithOverlap,
               const std::function<void(size_t, WorkTurn&)>& work,
               const std::function<void(size_t)>& report)
        : count_(count),
          overlap_(oneAtATimeWithOverlap),
          work_(work),
          report_(report),
          finished_(count, false),
          mayBegin_(overlap_ ? 1 : count) {}

    // aheadOnly: the thread only takes a piece begun early, beside one in progress; so pieces
    // that go strictly one after another all run on the same thread, as they would without
    // it, keeping their memory in that thread's heap.
    void Work(bool aheadOnly = false) {
        for (size_t index = Take(aheadOnly); index < count_; index = Take(aheadOnly)) {
            WorkTurn turn(*this, index);
            work_(index, turn);
            Finish(index);
        }
    }

    void LetNextBegin(size_t index) {
        const std::lock_guard lock(mutex_);
        Allow(index + 1);
    }

    void AwaitEarlier(size_t index) {
        if (!overlap_) {
            return;
        }
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return reported_ >= index; });
    }

    bool BesideEarlier(size_t index) const { return overlap_ && index > 0; }

  private:
    // The next index once it may begin; count_ when none is left.
    size_t Take(bool aheadOnly) {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] {
            return next_ >= count_ || (next_ < mayBegin_ && (!aheadOnly || running_ > 0));
        });
        if (next_ >= count_) {
            return count_;
        }
        ++running_;
        return next_++;
    }

    void Allow(size_t index) {
        if (index >= mayBegin_) {
            mayBegin_ = index + 1;
            changed_.notify_all();
        }
    }

    void Finish(size_t index) {
        const std::lock_guard lock(mutex_);
        --running_;
        finished_[index] = true;
        while (reported_ < count_ && finished_[reported_]) {
            report_(reported_++);
        }
        Allow(index + 1);
        changed_.notify_all();
    }

    const size_t count_;
    const bool overlap_;
    const std::function<void(size_t, WorkTurn&)>& work_;
    const std::function<void(size_t)>& report_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<bool> finished_;
    size_t reported_ = 0;
    size_t next_ = 0;
    size_t running_ = 0;
    // Indices below this may begin.
    size_t mayBegin_;
};

void WorkTurn::LetNextBegin() {
    run_.LetNextBegin(index_);
}

void WorkTurn::AwaitEarlier() {
    run_.AwaitEarlier(index_);
}

bool WorkTurn::BesideEarlier() const {
    return run_.BesideEarlier(index_);
}

void RunInParallel(size_t count, unsigned threads,
                   const std::function<void(size_t, WorkTurn&)>& work,
                   const std::function<void(size_t)>& report, bool mayBeginEarly) {
    const bool overlap = mayBeginEarly && threads <= 1 && count > 1 && ProcessCores() > 1;
    OrderedRun run(count, overlap, work, report);
    const size_t threadCount = overlap ? 2 : std::min<size_t>(std::max(threads, 1u), count);
    // With several files in flight the cores are theirs: no conversion takes a second thread
    // for its stages while the others run. Counted beside each conversion's own core. One file
    // at a time, begun early or not, leaves the second core to its stages.
    const ConversionSlot others(overlap ? 0 : static_cast<unsigned>(threadCount - 1));
    std::vector<std::jthread> pool;
    for (size_t i = 1; i < threadCount; ++i) {
        try {
            pool.emplace_back([&run, overlap] { run.Work(overlap); });
        } catch (const std::system_error&) {
            // Fewer threads only make the run slower; the calling thread still does the work.
            break;
        }
    }
    run.Work();
}

}  // namespace velmora::cli
