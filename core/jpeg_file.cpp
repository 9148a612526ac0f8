#include "jpeg_file.h"

#include <jerror.h>

#include "errors.h"
#include "input_file.h"
#include "jpeg_reader.h"

namespace velmora::jpeg {

namespace {

constexpr uint8_t kMarkerStart = 0xFF;
constexpr uint8_t kStartOfImage = 0xD8;

}  // namespace

std::vector<uint8_t> ReadJpegFile(const std::string& path, TNonRegular nonRegular) {
    InputFile file(path, nonRegular);
    const std::vector<uint8_t>& start = file.Peek(2);
    // libjpeg reads the same two bytes first (a lone first byte meets the end-of-image marker
    // that its source inserts at the end of the data) and refuses anything but the marker.
    if (!start.empty() &&
        (start.size() < 2 || start[0] != kMarkerStart || start[1] != kStartOfImage)) {
        throw EJPEG(JERR_NO_SOI);
    }
    return file.ReadToEnd(DecodedBytesLimit());
}

}  // namespace velmora::jpeg
