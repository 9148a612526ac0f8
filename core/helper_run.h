// Work handed to a helper thread by stages that run on two threads when they may, with what the
// work raises kept for the calling thread: libjpeg's jump and every exception stay on the thread
// that raised them.
#pragma once

#include <exception>
#include <functional>

#include "helper_thread.h"

namespace velmora {

enum class TStageThreads {
    kOne,           // every stage on the calling thread
    kTwo,           // a second thread, whatever else runs
    kAsCoresAllow,  // a second thread when a core is free (helper_thread.h)
};

// Whether the stages may use the helper: never, always, or when Claim finds a core free.
bool TakeHelper(HelperThread& helper, TStageThreads threads);

// Runs work on the helper, which is started: whatever it raises is kept for the caller.
class HelperRun {
  public:
    explicit HelperRun(HelperThread& thread) : thread_(thread) {}

    // False when no thread could be had (work not run). onFailure runs on the helper after
    // work has raised, to free a calling thread that waits on the work.
    bool Start(std::function<void()> work, std::function<void()> onFailure);
    // After Join: what the helper raised, if anything.
    std::exception_ptr Join();

  private:
    HelperThread& thread_;
    std::exception_ptr error_;
};

}  // namespace velmora
