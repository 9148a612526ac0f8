#include "helper_run.h"

#include <utility>

namespace velmora {

bool TakeHelper(HelperThread& helper, TStageThreads threads) {
    switch (threads) {
        case TStageThreads::kOne:
            return false;
        case TStageThreads::kTwo:
            return true;
        case TStageThreads::kAsCoresAllow:
            return helper.Claim();
    }
    return false;
}

bool HelperRun::Start(std::function<void()> work, std::function<void()> onFailure) {
    return thread_.Start([this, work = std::move(work), onFailure = std::move(onFailure)] {
        try {
            work();
        } catch (...) {
            error_ = std::current_exception();
            onFailure();
        }
    });
}

std::exception_ptr HelperRun::Join() {
    thread_.Join();
    return error_;
}

}  // namespace velmora
