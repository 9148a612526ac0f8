// Reading and writing the metadata markers of a JPEG: the EXIF orientation, and which markers
// a conversion that keeps all metadata carries.
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

// The marker codes that may carry metadata kept with TMetadataKept::kAll.
inline constexpr int kApp1Marker = 0xE1;
inline constexpr int kApp13Marker = 0xED;
inline constexpr int kCommentMarker = 0xFE;

// Whether a marker is one that TMetadataKept::kAll carries: an APP1 EXIF or XMP (standard or
// extended) block, an APP13 "Photoshop 3.0" block (IPTC) or a comment. Other application
// markers (a camera maker's own, an Adobe colour transform) are left behind: they may describe
// the old encoding rather than the picture.
bool IsCarriedMarker(int code, const uint8_t* data, size_t size);

}  // namespace velmora::jpeg
