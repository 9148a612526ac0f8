// The memory one conversion takes, known from the source's header before anything big is
// allocated, and how many conversions the machine's memory holds at once.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "conversion_stages.h"
#include "jpeg_image.h"

namespace velmora {

// The most that converting these source bytes (CompressBytes) holds at one time, at most: the
// source itself, libjpeg's buffers for each decoding and encoding (above all the whole-picture
// coefficient buffers of progressive pictures, which a progressive source needs twice: to
// decode it and to encode it progressively again), the encoded output and the conversion's own
// rows. On two threads the stages overlap: the blocks of rows between them, the helper
// thread's stack and allocation arena and, below r = 100, both halves of the conversion at
// once. Raises what reading the header raises.
size_t ConversionBytes(const std::vector<uint8_t>& source, int resizePercent,
                       TJPEGDecodeDepth depth, TStageThreads threads = TStageThreads::kOne);

// Refuses a conversion whose ConversionBytes exceed jpeg::DecodedBytesLimit() with EJPEG
// (libjpeg's "image too big" code).
void CheckConversionBudget(const std::vector<uint8_t>& source, int resizePercent,
                           TJPEGDecodeDepth depth);

// How many conversions fit at once, each at the bound, in the memory the system has available
// now; at least 1.
unsigned ConversionsThatFitInMemory();

}  // namespace velmora
