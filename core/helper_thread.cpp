#include "helper_thread.h"

#include <sched.h>

#include <algorithm>
#include <atomic>
#include <thread>
#include <utility>

namespace velmora {

namespace {

std::atomic<unsigned> coresInUse{0};

}  // namespace

unsigned ProcessCores() {
    static const unsigned cores = [] {
        cpu_set_t allowed;
        CPU_ZERO(&allowed);
        if (::sched_getaffinity(0, sizeof allowed, &allowed) == 0) {
            return static_cast<unsigned>(std::max(CPU_COUNT(&allowed), 1));
        }
        return std::max(std::thread::hardware_concurrency(), 1u);
    }();
    return cores;
}

ConversionSlot::ConversionSlot(unsigned cores) : cores_(cores) {
    coresInUse += cores_;
}

ConversionSlot::~ConversionSlot() {
    coresInUse -= cores_;
}

HelperThread::~HelperThread() {
    Join();
    if (claimed_) {
        --coresInUse;
    }
}

bool HelperThread::Claim() {
    unsigned inUse = coresInUse.load();
    while (inUse < ProcessCores()) {
        if (coresInUse.compare_exchange_weak(inUse, inUse + 1)) {
            claimed_ = true;
            return true;
        }
    }
    return false;
}

bool HelperThread::Start(std::function<void()> work) {
    work_ = std::move(work);
    pthread_attr_t attributes;
    if (::pthread_attr_init(&attributes) != 0) {
        return false;
    }
    ::pthread_attr_setstacksize(&attributes, kStackBytes);
    running_ = ::pthread_create(&thread_, &attributes, Run, this) == 0;
    ::pthread_attr_destroy(&attributes);
    if (!running_ && claimed_) {
        claimed_ = false;
        --coresInUse;
    }
    return running_;
}

void HelperThread::Join() {
    if (running_) {
        ::pthread_join(thread_, nullptr);
        running_ = false;
    }
}

void* HelperThread::Run(void* self) {
    static_cast<HelperThread*>(self)->work_();
    return nullptr;
}

}  // namespace velmora
