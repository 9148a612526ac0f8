// Reading and writing the EXIF orientation and the ICC profile of a JPEG.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "picture_metadata.h"

namespace velmora::jpeg {

// Whether the body of an APP1 marker is an EXIF block (other APP1 markers, such as XMP, share
// the marker number).
bool IsExif(const uint8_t* data, size_t size);

// The orientation (1..8) in the body of an APP1 "Exif" marker; 1 when absent or damaged.
int ExifOrientation(const uint8_t* data, size_t size);

// Whether an ICC profile describes RGB data (its header's colour space field).
bool IsRgbProfile(const uint8_t* data, size_t size);

// The body of a minimal APP1 "Exif" marker that holds only the orientation.
std::vector<uint8_t> MakeExifOrientation(int orientation);

}  // namespace velmora::jpeg
