#include "kilobytes.h"

#include <cmath>

namespace velmora {

int64_t KilobytesHalfEven(int64_t bytes) {
    return static_cast<int64_t>(std::nearbyintl(static_cast<long double>(bytes) / 1024.0L));
}

}  // namespace velmora
