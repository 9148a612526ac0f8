// Test stand-ins for the user-interface thread: a queue of posted tasks that the test pumps
// itself, or that a thread of its own runs.
#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

#include "core/ui_handover.h"
#include "support/hang_bound.h"

namespace velmora::test {

class TTaskQueue : public std::enable_shared_from_this<TTaskQueue> {
  public:
    // What the worker is given to post with.
    TPostToUiThread PostFunction() {
        return [queue = shared_from_this()](TUiTask task) { queue->Post(std::move(task)); };
    }

    void Post(TUiTask task) {
        std::unique_lock lock(mutex_);
        ++posted_;
        if (closed_) {
            ++postedAfterClose_;
            lock.unlock();
            return;  // destroyed unrun, as a dropped queued call
        }
        tasks_.push_back(std::move(task));
        changed_.notify_all();
    }

    // Waits for a task and runs it on the calling thread; false once the queue is closed.
    bool RunNext() {
        TUiTask task;
        {
            std::unique_lock lock(mutex_);
            changed_.wait(lock, [&] { return closed_ || !tasks_.empty(); });
            if (closed_) {
                return false;
            }
            task = std::move(tasks_.front());
            tasks_.pop_front();
        }
        task();
        return true;
    }

    // Waits until a task is queued, without running it; false if none came within the bound.
    bool WaitForTask() {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, kHangBound, [&] { return !tasks_.empty(); });
    }

    // Destroys the queued tasks unrun, as a closing window drops the calls queued for it;
    // later posts are dropped as well.
    void Close() {
        std::deque<TUiTask> dropped;
        {
            std::lock_guard lock(mutex_);
            closed_ = true;
            dropped.swap(tasks_);
            changed_.notify_all();
        }
    }

    int Posted() const {
        std::lock_guard lock(mutex_);
        return posted_;
    }
    int PostedAfterClose() const {
        std::lock_guard lock(mutex_);
        return postedAfterClose_;
    }

  private:
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<TUiTask> tasks_;
    bool closed_ = false;
    int posted_ = 0;
    int postedAfterClose_ = 0;
};

// A thread that runs a queue's tasks until it is destroyed.
class TUiThread {
  public:
    TUiThread()
        : thread_([queue = queue_] {
              while (queue->RunNext()) {
              }
          }) {}
    ~TUiThread() {
        queue_->Close();
        thread_.join();
    }

    TPostToUiThread PostFunction() { return queue_->PostFunction(); }
    std::thread::id Id() const { return thread_.get_id(); }

    // Runs an action on this thread, as a user's click, and waits until it is done.
    void Do(std::function<void()> action) {
        auto done = std::make_shared<std::promise<void>>();
        auto finished = done->get_future();
        queue_->Post([done, action = std::move(action)] {
            action();
            done->set_value();
        });
        finished.wait();
    }

  private:
    std::shared_ptr<TTaskQueue> queue_ = std::make_shared<TTaskQueue>();
    std::thread thread_;
};

// Runs a function on a thread of its own, as a worker does, and waits for its result with
// the hang bound.
template <class Result>
class TBackground {
  public:
    explicit TBackground(std::function<Result()> work) {
        auto promise = std::make_shared<std::promise<Result>>();
        future_ = promise->get_future();
        thread_ = std::thread([promise, work = std::move(work)] {
            try {
                promise->set_value(work());
            } catch (...) {
                promise->set_exception(std::current_exception());
            }
        });
    }
    ~TBackground() {
        // A hung thread is left behind rather than blocking the suite; the test has failed.
        if (!future_.valid() ||
            future_.wait_for(std::chrono::seconds(0)) == std::future_status::ready) {
            thread_.join();
        } else {
            thread_.detach();
        }
    }

    // The result; no result when the work did not end within the bound. Raises its error.
    std::optional<Result> Wait() {
        if (future_.wait_for(kHangBound) != std::future_status::ready) {
            return std::nullopt;
        }
        return future_.get();
    }

  private:
    std::future<Result> future_;
    std::thread thread_;
};

}  // namespace velmora::test
