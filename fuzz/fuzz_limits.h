// Limits shared by the fuzz targets.
#pragma once

#include <cstddef>

namespace velmora::fuzz {

// Decoded pictures (and libjpeg's buffers) above 4 MiB are refused while fuzzing, so that a
// header claiming a huge picture costs milliseconds instead of the sanitizer's memory budget.
// The size checks themselves are the same as under the real bound.
inline constexpr size_t kDecodedBytesLimit = size_t{1} << 22;
// A conversion decodes and encodes twice and writes a file: a quarter of that keeps it quick.
inline constexpr size_t kConversionDecodedBytesLimit = size_t{1} << 20;

}  // namespace velmora::fuzz
