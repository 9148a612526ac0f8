// Sizes shown to the user in kilobytes.
#pragma once

#include <cstdint>

namespace velmora {

// bytes ÷ 1024 rounded to the nearest integer, an exact half going to the even neighbour.
int64_t KilobytesHalfEven(int64_t bytes);

}  // namespace velmora
