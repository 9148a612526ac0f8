// How long a test waits for something that happens at once unless the code under test hangs.
#pragma once

#include <chrono>

namespace velmora::test {

// It only keeps a hang from blocking the suite; no run comes near it.
inline constexpr std::chrono::seconds kHangBound{120};

}  // namespace velmora::test
