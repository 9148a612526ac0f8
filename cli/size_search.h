// --max-size: the highest quality whose output fits a size.
#pragma once

#include <cstdint>
#include <vector>

#include "core/conversion_percents.h"
#include "core/picture_metadata.h"

namespace velmora::cli {

struct FittedConversion {
    int compressPercent = 0;
    std::vector<uint8_t> bytes;
};

// The lowest compression percent from lowestPercent to 99 whose conversion (at the resize
// percent) takes at most maxBytes, found by bisection over real conversions, so the bytes are
// exactly those of converting with that percent. 100 is never tried: libjpeg takes its quality
// 0 as 1, the quality of 99. Raises an error saying so when not even 99 fits.
FittedConversion ConvertToFit(const std::vector<uint8_t>& source, uint64_t maxBytes,
                              int lowestPercent, ResizePercent resize, TMetadataKept kept);

}  // namespace velmora::cli
