// A host for the batch worker that answers from plain fields and records what the worker
// asked of it. Its operations run on whatever thread runs the posted tasks; read its record
// on that thread, or once that thread has run everything queued.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "core/compress_host.h"
#include "core/compress_thread.h"
#include "task_queue.h"

namespace velmora::test {

class TFakeHost final : public TCompressHost {
  public:
    struct TEntry {
        std::string path;
        bool selected = false;
    };

    std::vector<TEntry> entries;
    std::string outputDirectory;
    TSliderPositions positions{30, 80};
    // The thread every operation must run on.
    std::thread::id uiThread;
    // Called at the start of every operation with its name: the user acting meanwhile.
    std::function<void(const std::string& operation)> onCall;
    // Called when the finish operation runs.
    std::function<void()> onFinish;

    struct TFailure {
        std::string message;
        bool anyFileWritten = false;
    };

    std::vector<std::string> calls;
    std::vector<uint16_t> reports;
    int finishes = 0;
    std::vector<TFailure> failures;
    int callsOffUiThread = 0;
    // Set when the window would have closed; no operation may come after it.
    bool closed = false;
    int callsAfterClose = 0;

    int32_t EntryCount() override {
        Called("EntryCount");
        return static_cast<int32_t>(entries.size());
    }
    bool EntrySelected(int32_t index) override {
        Called("EntrySelected");
        return entries.at(static_cast<size_t>(index)).selected;
    }
    std::string EntryPath(int32_t index) override {
        Called("EntryPath");
        return entries.at(static_cast<size_t>(index)).path;
    }
    int32_t SelectedCount() override {
        Called("SelectedCount");
        int32_t count = 0;
        for (const TEntry& entry : entries) {
            count += entry.selected ? 1 : 0;
        }
        return count;
    }
    std::string OutputDirectory() override {
        Called("OutputDirectory");
        return outputDirectory;
    }
    TSliderPositions SliderPositions() override {
        Called("SliderPositions");
        return positions;
    }
    void ReportPercent(uint16_t percent) override {
        Called("ReportPercent");
        reports.push_back(percent);
    }
    void Finish() override {
        Called("Finish");
        ++finishes;
        if (onFinish) {
            onFinish();
        }
    }

    void Fail(const std::string& message, bool anyFileWritten) override {
        Called("Fail");
        failures.push_back({message, anyFileWritten});
    }

  private:
    void Called(const std::string& operation) {
        calls.push_back(operation);
        callsOffUiThread += std::this_thread::get_id() == uiThread ? 0 : 1;
        callsAfterClose += closed ? 1 : 0;
        if (onCall) {
            onCall(operation);
        }
    }
};

// Tells the test how a worker ended. Shared with the worker, which signals it last.
class TEndLatch {
  public:
    TCompressThreadOptions Options(TConvertFunction convert = {}) const {
        TCompressThreadOptions options;
        options.convert = std::move(convert);
        options.onEnded = [state = state_](TBatchEnd end) {
            std::lock_guard lock(state->mutex);
            state->end = end;
            state->changed.notify_all();
        };
        return options;
    }

    // How the worker ended; no value if it did not end within the hang bound.
    std::optional<TBatchEnd> Wait() const {
        std::unique_lock lock(state_->mutex);
        state_->changed.wait_for(lock, kHangBound, [&] { return state_->end.has_value(); });
        return state_->end;
    }

  private:
    struct TState {
        std::mutex mutex;
        std::condition_variable changed;
        std::optional<TBatchEnd> end;
    };
    std::shared_ptr<TState> state_ = std::make_shared<TState>();
};

// A one-shot signal between two threads, waited for with the hang bound.
class TGate {
  public:
    void Open() const {
        std::lock_guard lock(state_->mutex);
        state_->open = true;
        state_->changed.notify_all();
    }
    bool Wait() const {
        std::unique_lock lock(state_->mutex);
        return state_->changed.wait_for(lock, kHangBound, [&] { return state_->open; });
    }

  private:
    struct TState {
        std::mutex mutex;
        std::condition_variable changed;
        bool open = false;
    };
    std::shared_ptr<TState> state_ = std::make_shared<TState>();
};

// Runs one batch worker over the host, with a UI thread of its own, until the worker has
// ended and every call it queued has run; how it ended (no value if it did not end within
// the hang bound). For the cases that need no hold of the worker while it runs.
inline std::optional<TBatchEnd> RunBatch(TFakeHost& host, TConvertFunction convert = {}) {
    TEndLatch latch;
    TUiThread ui;
    host.uiThread = ui.Id();
    TCompressThread worker(host, ui.PostFunction(), latch.Options(std::move(convert)));
    const std::optional<TBatchEnd> end = latch.Wait();
    ui.Do([] {});  // every task queued so far has run
    return end;
}

}  // namespace velmora::test
