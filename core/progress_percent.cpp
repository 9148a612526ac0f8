#include "progress_percent.h"

#include <cmath>

namespace velmora {

uint16_t ProgressPercent(int32_t done, int32_t selected) {
    // The list cannot change while a batch runs, so these only guard against a host that
    // answers inconsistently.
    if (selected <= 0 || done > selected) {
        return 100;
    }
    if (done <= 0) {
        return 0;
    }
    const double fraction = static_cast<double>(static_cast<long double>(done) / selected);
    const double hundredth = 0.01;
    const long double percent =
        static_cast<long double>(fraction) / static_cast<long double>(hundredth);
    // The default rounding mode: to nearest, ties to even.
    return static_cast<uint16_t>(std::nearbyintl(percent));
}

}  // namespace velmora
