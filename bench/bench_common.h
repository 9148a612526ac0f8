// What the preview benchmarks share: the clocks and the median.
#pragma once

#include <algorithm>
#include <cstdint>
#include <ctime>
#include <vector>

namespace velmora::bench {

// Processor time of the process in milliseconds, which other work on the machine disturbs far
// less than wall-clock time (the measured work is single-threaded).
inline double Now() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

// Wall-clock time in milliseconds, for work spread over several threads.
inline double WallNow() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

inline double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

}  // namespace velmora::bench
