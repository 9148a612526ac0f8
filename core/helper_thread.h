// A second thread for one conversion's stages, taken only when a core would otherwise idle:
// every conversion in the process counts one core, every helper another, and a helper is
// started only while their sum stays below the machine's cores. So `-j 2` with two files in
// flight runs one thread per file, and a single file (the batch in the window, the last file of
// a run) gets two.
#pragma once

#include <pthread.h>

#include <cstddef>
#include <functional>

namespace velmora {

// The processors this process may run on (a process pinned to one has one core, whatever the
// machine has), read once.
unsigned ProcessCores();

// Counts cores as busy for as long as it lives: one for a conversion running on the calling
// thread, or as many as a runner of several conversions at once will keep busy (so that the
// first of them does not take a helper before the others have begun).
class ConversionSlot {
  public:
    explicit ConversionSlot(unsigned cores = 1);
    ~ConversionSlot();
    ConversionSlot(const ConversionSlot&) = delete;
    ConversionSlot& operator=(const ConversionSlot&) = delete;

  private:
    unsigned cores_;
};

class HelperThread {
  public:
    // The stack of a helper: libjpeg's stages need a few kilobytes of it.
    static constexpr size_t kStackBytes = size_t{1} << 20;
    // The address space a helper may take beyond its stack: the C library gives a new thread
    // an allocation arena of its own, reserving 64 MiB of address space for it.
    static constexpr size_t kArenaBytes = size_t{64} << 20;

    HelperThread() = default;
    // Joins the thread if it runs.
    ~HelperThread();
    HelperThread(const HelperThread&) = delete;
    HelperThread& operator=(const HelperThread&) = delete;

    // Whether a helper may be started now (a core is free). Counts it when true.
    bool Claim();
    // Runs work on the claimed helper; false (work not run, the claim given back) when the
    // system refuses a thread. work must not throw.
    bool Start(std::function<void()> work);
    void Join();

  private:
    static void* Run(void* self);

    std::function<void()> work_;
    pthread_t thread_{};
    bool claimed_ = false;
    bool running_ = false;
};

}  // namespace velmora
