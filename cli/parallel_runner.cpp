#include "parallel_runner.h"

#include <algorithm>
#include <atomic>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

#include "core/helper_thread.h"

namespace velmora::cli {

namespace {

class OrderedRun {
  public:
    OrderedRun(size_t count, const std::function<void(size_t)>& work,
               const std::function<void(size_t)>& report)
        : count_(count), work_(work), report_(report), finished_(count, false) {}

    void Work() {
        for (size_t index = next_++; index < count_; index = next_++) {
            work_(index);
            Finish(index);
        }
    }

  private:
    void Finish(size_t index) {
        const std::lock_guard lock(mutex_);
        finished_[index] = true;
        while (reported_ < count_ && finished_[reported_]) {
            report_(reported_++);
        }
    }

    const size_t count_;
    const std::function<void(size_t)>& work_;
    const std::function<void(size_t)>& report_;
    std::atomic<size_t> next_{0};
    std::mutex mutex_;
    std::vector<bool> finished_;
    size_t reported_ = 0;
};

}  // namespace

void RunInParallel(size_t count, unsigned threads, const std::function<void(size_t)>& work,
                   const std::function<void(size_t)>& report) {
    OrderedRun run(count, work, report);
    const size_t threadCount = std::min<size_t>(std::max(threads, 1u), count);
    // With several files in flight the cores are theirs: no conversion takes a second thread
    // for its stages while the others run. Counted beside each conversion's own core.
    const ConversionSlot others(static_cast<unsigned>(threadCount - 1));
    std::vector<std::jthread> pool;
    for (size_t i = 1; i < threadCount; ++i) {
        try {
            pool.emplace_back([&run] { run.Work(); });
        } catch (const std::system_error&) {
            // Fewer threads only make the run slower; the calling thread still does the work.
            break;
        }
    }
    run.Work();
}

}  // namespace velmora::cli
