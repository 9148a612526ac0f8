// Carrying operations over from a worker thread to the user-interface thread: the worker
// posts each operation as a queued call and waits until the UI thread has run it. A stop
// request ends the wait for an operation the UI thread has not begun, which then never runs.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <type_traits>

namespace velmora {

// Queues a task for the UI thread and returns at once; the task must not run before the
// function has returned. The UI thread runs the task at most once, or destroys it unrun
// (a Qt host posts with QMetaObject::invokeMethod(dialog, task, Qt::QueuedConnection), which
// drops the task when the dialog is destroyed first). Called on the worker thread only, and
// never after RequestStop has returned, so it may refer to the dialog itself.
using TUiTask = std::function<void()>;
using TPostToUiThread = std::function<void(TUiTask)>;

// Shared by the worker and its owner; copies refer to the same state, which lives as long as
// any copy or any posted task.
class TUiHandover {
  public:
    explicit TUiHandover(TPostToUiThread post);

    // Any thread; returns at once (at most after a post that is under way has been queued).
    // From then on no operation is posted, and one still waiting for the UI thread never runs.
    void RequestStop();
    bool StopRequested() const;

    // Worker thread: runs the operation on the UI thread and waits until it is done. False
    // when it did not run: a stop was requested before it was posted or before the UI thread
    // began it, or its task was destroyed unrun (which counts as a stop from then on). An
    // operation the UI thread has begun is waited for, even when it requests the stop
    // itself. An error raised by the operation is raised here.
    bool Run(std::function<void()> operation);

    // Run for an operation with a result; no result where Run gives false.
    template <class Operation>
    auto Ask(Operation operation) -> std::optional<std::invoke_result_t<Operation&>> {
        // The operation runs, if at all, while this call waits for it.
        std::optional<std::invoke_result_t<Operation&>> result;
        if (!Run([&result, &operation] { result.emplace(operation()); })) {
            return std::nullopt;
        }
        return result;
    }

  private:
    struct TState;
    struct TCall;
    class TTicket;
    std::shared_ptr<TState> state_;
};

}  // namespace velmora
