// The two pieces of a photo's metadata that survive re-encoding: the EXIF orientation and
// the ICC colour profile. Nothing else (no GPS, no camera data) is ever carried.
#pragma once

#include <cstdint>
#include <vector>

namespace velmora {

struct TPictureMetadata {
    int orientation = 1;  // EXIF tag 0x0112, 1..8; 1 means "as stored"
    std::vector<uint8_t> iccProfile{};

    friend bool operator==(const TPictureMetadata&, const TPictureMetadata&) = default;
};

}  // namespace velmora
