// The metadata of a photo that survives re-encoding. By default only the EXIF orientation and
// the ICC colour profile are carried (no GPS, no camera data); asked for, the EXIF, XMP, IPTC
// and comment markers are carried whole as well.
#pragma once

#include <cstdint>
#include <vector>

namespace velmora {

// How much of the source's metadata a conversion writes into its output.
enum class TMetadataKept {
    kOrientationAndProfile,
    // Also every EXIF block whole, XMP, IPTC (Photoshop) and comment markers, in file order.
    kAll,
};

// One marker as it stands in the file: its code (JPEG_APP0 + n, JPEG_COM) and its body.
struct TMetadataMarker {
    int code = 0;
    std::vector<uint8_t> body{};

    friend bool operator==(const TMetadataMarker&, const TMetadataMarker&) = default;
};

struct TPictureMetadata {
    int orientation = 1;  // EXIF tag 0x0112, 1..8; 1 means "as stored"
    std::vector<uint8_t> iccProfile{};
    // Copied verbatim (TMetadataKept::kAll only); an EXIF block among them stands in for the
    // orientation-only one.
    std::vector<TMetadataMarker> markers{};

    friend bool operator==(const TPictureMetadata&, const TPictureMetadata&) = default;
};

}  // namespace velmora
