// What the preview benchmarks share: the processor-time clock and the core's own encode and
// decode through a memory stream, so that both time the same steps.
#pragma once

#include <algorithm>
#include <cstdint>
#include <ctime>
#include <vector>

#include "core/bitmap.h"
#include "core/jpeg_image.h"
#include "core/stream.h"

namespace velmora::bench {

// Processor time of the process in milliseconds, which other work on the machine disturbs far
// less than wall-clock time (the measured work is single-threaded).
inline double Now() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

inline double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// The core alone, first half: the pixels encoded at the quality into the (empty) stream.
inline void CoreEncode(TJPEGImage& picture, const TBitmap& pixels, int quality,
                       TMemoryStream& stream) {
    picture.CopyPicture(pixels);
    picture.SetQuality(static_cast<uint8_t>(quality));
    picture.SavePictureStream(stream);
}

// Second half: the stream loaded again from its start and decoded.
inline const TBitmap& CoreDecode(TJPEGImage& picture, TMemoryStream& stream) {
    stream.SetPosition(0);
    picture.LoadPictureStream(stream);
    return picture.Pixels();
}

}  // namespace velmora::bench
