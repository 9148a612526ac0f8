// Reading the file of a JPEG picture.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "file_io.h"

namespace velmora::jpeg {

// The whole file. Its first two bytes are looked at before the rest is read: a file that does
// not begin with a JPEG's start-of-image marker is refused with the error its decoding would
// give (EJPEG, libjpeg's "not a JPEG file" code), so that a large file of another kind is
// never read whole. An empty file reads as no bytes; its decoding fails later. A file larger
// than DecodedBytesLimit() (jpeg_reader.h) is refused with EFOpenError "File too large".
std::vector<uint8_t> ReadJpegFile(const std::string& path,
                                  TNonRegular nonRegular = TNonRegular::Refuse);

}  // namespace velmora::jpeg
