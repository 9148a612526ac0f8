#include "helper_thread.h"

#include <atomic>
#include <thread>
#include <utility>

namespace velmora {

namespace {

std::atomic<unsigned> coresInUse{0};

unsigned Cores() {
    static const unsigned cores = std::max(std::thread::hardware_concurrency(), 1u);
    return cores;
}

}  // namespace

ConversionSlot::ConversionSlot() {
    ++coresInUse;
}

ConversionSlot::~ConversionSlot() {
    --coresInUse;
}

HelperThread::~HelperThread() {
    Join();
    if (claimed_) {
        --coresInUse;
    }
}

bool HelperThread::Claim() {
    unsigned inUse = coresInUse.load();
    while (inUse < Cores()) {
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
