// The conversion of one file done picture by picture, with whole decoded frames held in
// bitmaps, the way the previews work. Tests and benchmarks hold the streaming conversion
// against it.
#pragma once

#include <cstdint>
#include <vector>

#include "conversion_percents.h"

namespace velmora {

// The output bytes for the source bytes at compression percent c and resize percent r,
// through a source picture, a work bitmap, a memory stream, a target bitmap and a resize
// picture.
std::vector<uint8_t> CompressBytesFrameByFrame(std::vector<uint8_t> source,
                                               ConversionPercents percents);

}  // namespace velmora
