// One source JPEG file converted into one output file.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "conversion_percents.h"
#include "conversion_stages.h"
#include "file_io.h"
#include "picture_metadata.h"

namespace velmora {

// Converts source into output at compression percent c and resize percent r (both 0..100,
// else Exception "Percent out of range"):
// r = 100 keeps the size and encodes at quality 100 − c (progressive exactly when the source
// is); below 100 the quality-(100 − c) encoding is decoded again, shrunk to PercentSize of
// each side and encoded baseline at quality 90; a side of 0 gives an empty file.
// Raises the error of the failing step; the output is only ever replaced whole. An empty
// output is refused (EFCreateError) where it would replace its own source, whatever path or
// link leads there. A conversion that would take more memory than the bound is refused before
// anything big is allocated (conversion_budget.h), and running out of memory is EOutOfMemory.
// The source must be a regular file unless nonRegular says to read a pipe to its end.
void CompressFile(const std::string& source, const std::string& output, ConversionPercents percents,
                  TNonRegular nonRegular = TNonRegular::Refuse);

// The same conversion from the bytes of a source file to the bytes of the output file, through
// the stages of conversion_stages.h (on two threads when a core is free and their buffers fit
// the bound). The pictures are never held whole: decoded rows stream straight into the
// encoder, and the second decoding streams through the shrink into the final encoder. The
// source bytes are released as soon as the stages are done with them. `kept` says which of the
// source's metadata the output carries (the desktop program always keeps the orientation and colour
// profile only). coreFreed is told when the rest keeps one core busy (TConversionStages).
std::vector<uint8_t> CompressBytes(std::vector<uint8_t> source, ConversionPercents percents,
                                   TMetadataKept kept = TMetadataKept::kOrientationAndProfile,
                                   TStageThreads threads = TStageThreads::kAsCoresAllow,
                                   const std::function<void()>& coreFreed = {});

// Writes a conversion's output bytes to output with WriteFileReplacing, the way CompressFile
// does: an empty output is refused (EFCreateError) where it would replace its own source.
void WriteConversion(const std::string& source, const std::string& output,
                     const std::vector<uint8_t>& bytes);

}  // namespace velmora
