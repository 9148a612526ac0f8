#include "jpeg_metadata.h"

#include <cstring>
#include <string_view>

namespace velmora::jpeg {

namespace {

using namespace std::string_view_literals;

constexpr uint8_t kExifSignature[6] = {'E', 'x', 'i', 'f', 0, 0};
// The signatures include their terminating NUL byte.
constexpr std::string_view kXmpSignature = "http://ns.adobe.com/xap/1.0/\0"sv;
constexpr std::string_view kExtendedXmpSignature = "http://ns.adobe.com/xmp/extension/\0"sv;
constexpr std::string_view kPhotoshopSignature = "Photoshop 3.0\0"sv;
constexpr size_t kIccColourSpaceOffset = 16;
constexpr uint8_t kIccRgb[4] = {'R', 'G', 'B', ' '};
constexpr uint16_t kOrientationTag = 0x0112;
constexpr uint16_t kTypeShort = 3;

// Reads the TIFF structure inside the marker with every offset checked against its size.
class TiffReader {
  public:
    TiffReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    bool ReadByteOrder() {
        if (size_ < 8) {
            return false;
        }
        if (data_[0] == 'I' && data_[1] == 'I') {
            bigEndian_ = false;
        } else if (data_[0] == 'M' && data_[1] == 'M') {
            bigEndian_ = true;
        } else {
            return false;
        }
        return U16(2) == 42;
    }

    bool Has(size_t offset, size_t count) const {
        return offset <= size_ && count <= size_ - offset;
    }

    uint16_t U16(size_t offset) const {
        const unsigned a = data_[offset], b = data_[offset + 1];
        return static_cast<uint16_t>(bigEndian_ ? (a << 8) | b : (b << 8) | a);
    }

    uint32_t U32(size_t offset) const {
        const uint32_t hi = U16(offset), lo = U16(offset + 2);
        return bigEndian_ ? (hi << 16) | lo : (lo << 16) | hi;
    }

  private:
    const uint8_t* data_;
    size_t size_;
    bool bigEndian_ = false;
};

bool StartsWith(const uint8_t* data, size_t size, std::string_view signature) {
    return size >= signature.size() && std::memcmp(data, signature.data(), signature.size()) == 0;
}

}  // namespace

bool IsExif(const uint8_t* data, size_t size) {
    return size >= sizeof kExifSignature &&
           std::memcmp(data, kExifSignature, sizeof kExifSignature) == 0;
}

int ExifOrientation(const uint8_t* data, size_t size) {
    if (!IsExif(data, size)) {
        return 1;
    }
    TiffReader tiff(data + sizeof kExifSignature, size - sizeof kExifSignature);
    if (!tiff.ReadByteOrder()) {
        return 1;
    }
    const size_t ifd = tiff.U32(4);
    if (!tiff.Has(ifd, 2)) {
        return 1;
    }
    const unsigned entries = tiff.U16(ifd);
    for (unsigned i = 0; i < entries; ++i) {
        const size_t entry = ifd + 2 + size_t{12} * i;
        if (!tiff.Has(entry, 12)) {
            return 1;
        }
        if (tiff.U16(entry) == kOrientationTag && tiff.U16(entry + 2) == kTypeShort) {
            const int orientation = tiff.U16(entry + 8);
            return orientation >= 1 && orientation <= 8 ? orientation : 1;
        }
    }
    return 1;
}

bool IsRgbProfile(const uint8_t* data, size_t size) {
    return size >= kIccColourSpaceOffset + sizeof kIccRgb &&
           std::memcmp(data + kIccColourSpaceOffset, kIccRgb, sizeof kIccRgb) == 0;
}

std::vector<uint8_t> MakeExifOrientation(int orientation) {
    const auto value = static_cast<uint8_t>(orientation);
    // Big-endian TIFF: header, one IFD with the single orientation entry, no next IFD.
    return {'E',  'x',  'i', 'f', 0, 0,                        //
            'M',  'M',  0,   42,  0, 0, 0, 8,                  //
            0,    1,                                           //
            0x01, 0x12, 0,   3,   0, 0, 0, 1, 0, value, 0, 0,  //
            0,    0,    0,   0};
}

bool IsCarriedMarker(int code, const uint8_t* data, size_t size) {
    switch (code) {
        case kApp1Marker:
            return IsExif(data, size) || StartsWith(data, size, kXmpSignature) ||
                   StartsWith(data, size, kExtendedXmpSignature);
        case kApp13Marker:
            return StartsWith(data, size, kPhotoshopSignature);
        case kCommentMarker:
            return true;
        default:
            return false;
    }
}

}  // namespace velmora::jpeg
