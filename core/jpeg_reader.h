// One libjpeg decompression over bytes in memory, with the system's fixed decoding profile.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

#include "bitmap.h"
#include "jpeg_image.h"
#include "jpeg_memory.h"
#include "jpeg_object.h"

namespace velmora::jpeg {

// Decoded pictures larger than this many bytes of pixels are refused before anything big is
// allocated (EJPEG with libjpeg's "image too big" code). libjpeg's own buffers (the whole-image
// coefficient buffer of a progressive picture) are held to the same bound, and so is all that
// one conversion allocates (conversion_budget.h) and every JPEG file read whole.
inline constexpr size_t kMaxDecodedBytes = size_t{1} << 31;

// The bound in force: kMaxDecodedBytes unless lowered. Fuzzers and memory tests lower it for
// the whole process so that hostile headers stay within their memory budget.
size_t DecodedBytesLimit();
void SetDecodedBytesLimit(size_t bytes);

// Every scan of a progressive picture passes over the whole picture, and an empty scan costs
// a few bytes: a file with thousands of them would keep the decoder busy for hours. Real
// encoders write a dozen or so; more than this many is refused (EJPEG with libjpeg's "invalid
// progressive parameters" code).
inline constexpr int kMaxScans = 500;

// The colours of a quantized decoding: of a one-component picture, its gray levels.
inline constexpr int kQuantizedColours = 236;

class JpegReader {
  public:
    // The bytes are not copied and must outlive the reader.
    JpegReader(const uint8_t* data, size_t size);
    // Reads what an encoder publishes into the channel while it writes.
    explicit JpegReader(ByteChannel& channel);
    JpegReader(const JpegReader&) = delete;
    JpegReader& operator=(const JpegReader&) = delete;

    // Reads the header (requiring an image); with keepMetadata the markers of what `kept`
    // names are kept for Metadata().
    void ReadHeader(bool keepMetadata, TMetadataKept kept = TMetadataKept::kOrientationAndProfile);
    int ImageWidth() const { return static_cast<int>(cinfo_.image_width); }
    int ImageHeight() const { return static_cast<int>(cinfo_.image_height); }
    bool Grayscale() const { return cinfo_.jpeg_color_space == JCS_GRAYSCALE; }
    bool Progressive();
    // What the header says, for estimating what decoding it will take.
    const jpeg_decompress_struct& Header() const { return cinfo_; }
    TPictureMetadata Metadata();

    // Block smoothing, floating-point DCT, fancy upsampling; one-component pictures (and every
    // picture at 8-bit depth) quantized to kQuantizedColours colours, or with plainGray
    // one-component pictures left as plain gray rows for a GrayDither; four-component pictures
    // converted from CMYK. Refuses pictures over DecodedBytesLimit().
    void Start(TJPEGDecodeDepth depth, bool plainGray = false);
    int OutputWidth() const { return static_cast<int>(cinfo_.output_width); }
    int OutputHeight() const { return static_cast<int>(cinfo_.output_height); }
    TPixelFormat OutputFormat() const {
        return quantized_ ? TPixelFormat::pf8bit : TPixelFormat::pf24bit;
    }
    // Rows of one byte a pixel, unquantized (Start with plainGray on a one-component picture).
    bool PlainGray() const { return plainGray_; }
    // The colour map of a quantized picture.
    std::vector<TPaletteEntry> Palette() const;
    // The next row, top row first: blue, green, red bytes, palette indexes or plain gray.
    void ReadRow(uint8_t* row);
    void Finish();

  private:
    template <typename Step>
    void Call(Step&& step) {
        object_.Call(std::forward<Step>(step));
    }
    void Create();
    void ConvertCmykRow(uint8_t* row) const;

    Decompression object_;
    jpeg_decompress_struct& cinfo_ = object_.Get();
    MemorySource source_;
    ChannelSource channelSource_;
    jpeg_progress_mgr progress_{};
    TMetadataKept kept_ = TMetadataKept::kOrientationAndProfile;
    bool quantized_ = false;
    bool plainGray_ = false;
    bool cmyk_ = false;
    std::vector<uint8_t> cmykRow_;
};

// Decodes the bytes into the bitmap, which the caller has already attached to its picture:
// when a step fails the bitmap keeps the rows decoded so far.
void DecodeInto(const uint8_t* data, size_t size, TJPEGDecodeDepth depth, TBitmap& bitmap);
// The same for the bytes an encoder publishes into the channel; rowsDecoded, when given, is
// told the rows decoded so far after each row.
void DecodeInto(ByteChannel& channel, TJPEGDecodeDepth depth, TBitmap& bitmap,
                const std::function<void(int rows)>& rowsDecoded = {});

}  // namespace velmora::jpeg
