// Calls that must not wait on a named pipe without a writer, run so that a call that does
// wait fails the test instead of hanging the suite.
#pragma once

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <functional>
#include <future>
#include <string>

#include "hang_bound.h"

namespace velmora::test {

// Runs the call on another thread and returns what it raised (rethrown) or returned. A call
// still waiting after kHangBound is released by opening the pipe for writing and closing it
// again, and the test fails.
template <typename Call>
auto WithoutWaitingOn(const std::string& pipe, Call call) {
    auto result = std::async(std::launch::async, std::move(call));
    if (result.wait_for(kHangBound) == std::future_status::timeout) {
        ADD_FAILURE() << "waited for a writer on " << pipe;
        ::close(::open(pipe.c_str(), O_WRONLY | O_NONBLOCK));
    }
    return result.get();
}

}  // namespace velmora::test
