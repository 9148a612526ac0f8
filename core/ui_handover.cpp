#include "ui_handover.h"

#include <atomic>
#include <condition_variable>
#include <exception>
#include <mutex>

namespace velmora {

struct TUiHandover::TState {
    explicit TState(TPostToUiThread postFunction) : post(std::move(postFunction)) {}

    TPostToUiThread post;
    std::atomic<bool> stop{false};
    // Held while posting, so that once RequestStop has taken it no post is under way.
    std::mutex postMutex;
    // Guards the stage of every call.
    std::mutex mutex;
    std::condition_variable changed;
};

struct TUiHandover::TCall {
    enum class TStage { Waiting, Running, Done, Dropped };

    TCall(std::shared_ptr<TState> handoverState, std::function<void()> work)
        : state(std::move(handoverState)), operation(std::move(work)) {}

    std::shared_ptr<TState> state;
    std::function<void()> operation;
    TStage stage = TStage::Waiting;
    std::exception_ptr error;
};

// Owned by the posted task and its copies. Whichever comes first decides: the task runs on
// the UI thread, the worker gives up on a stop, or the task is destroyed unrun.
class TUiHandover::TTicket {
  public:
    explicit TTicket(std::shared_ptr<TCall> call) : call_(std::move(call)) {}
    TTicket(const TTicket&) = delete;
    TTicket& operator=(const TTicket&) = delete;

    // Destroyed unrun: the UI side is gone (a Qt host drops the task with its dialog), so
    // nothing may be posted to it any more.
    ~TTicket() { Settle(TCall::TStage::Dropped, nullptr); }

    void RunOnUiThread() {
        {
            std::lock_guard lock(call_->state->mutex);
            if (call_->stage != TCall::TStage::Waiting || call_->state->stop) {
                return;
            }
            call_->stage = TCall::TStage::Running;
        }
        std::exception_ptr error;
        try {
            call_->operation();
        } catch (...) {
            // Handed to the worker; nothing of the failure reaches the UI thread's loop.
            error = std::current_exception();
        }
        Settle(TCall::TStage::Done, error);
    }

  private:
    void Settle(TCall::TStage stage, std::exception_ptr error) {
        {
            std::lock_guard lock(call_->state->mutex);
            if (call_->stage == TCall::TStage::Done || call_->stage == TCall::TStage::Dropped) {
                return;
            }
            call_->stage = stage;
            call_->error = std::move(error);
            if (stage == TCall::TStage::Dropped) {
                call_->state->stop = true;
            }
        }
        call_->state->changed.notify_all();
    }

    std::shared_ptr<TCall> call_;
};

TUiHandover::TUiHandover(TPostToUiThread post)
    : state_(std::make_shared<TState>(std::move(post))) {}

bool TUiHandover::StopRequested() const {
    return state_->stop;
}

void TUiHandover::RequestStop() {
    state_->stop = true;
    // Taking the mutex orders the flag before a waiting worker's next look at it.
    { std::lock_guard lock(state_->mutex); }
    state_->changed.notify_all();
    { std::lock_guard lock(state_->postMutex); }
}

bool TUiHandover::Run(std::function<void()> operation) {
    auto call = std::make_shared<TCall>(state_, std::move(operation));
    {
        std::lock_guard postLock(state_->postMutex);
        if (state_->stop) {
            return false;
        }
        auto ticket = std::make_shared<TTicket>(call);
        state_->post([ticket] { ticket->RunOnUiThread(); });
    }
    std::unique_lock lock(state_->mutex);
    // An operation the UI thread has begun is completed (it never waits for the worker);
    // one that has not begun is given up on a stop.
    state_->changed.wait(lock, [&] {
        return call->stage == TCall::TStage::Done || call->stage == TCall::TStage::Dropped ||
               (call->stage == TCall::TStage::Waiting && state_->stop);
    });
    if (call->stage == TCall::TStage::Waiting) {
        call->stage = TCall::TStage::Dropped;
    }
    if (call->stage == TCall::TStage::Dropped) {
        return false;
    }
    if (call->error) {
        std::rethrow_exception(call->error);
    }
    return true;
}

}  // namespace velmora
