// A JPEG picture held as encoded bytes and/or decoded pixels, converted between the two
// by libjpeg with one fixed decoding profile and one fixed encoding profile.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "bitmap.h"
#include "graphic.h"

namespace velmora {

class TStream;

enum class TJPEGDecodeDepth { jd8bit, jd24bit };

// The encoded part: bytes plus what their header says. Shared and never changed once made.
struct TJPEGData {
    std::vector<uint8_t> bytes;
    int width = 0;
    int height = 0;
    bool grayscale = false;
};

class TJPEGImage final : public TGraphic {
  public:
    TJPEGImage();

    int Width() const override;
    int Height() const override;
    // A side is 0: the held pixels are empty (none decoded, or a decoding that failed before
    // its first row), or without pixels no encoded bytes are held.
    bool Empty() const override;
    // JPEG pictures change size only by way of a bitmap: both raise EInvalidGraphicOperation
    // "Cannot change the size of a JPEG image".
    void SetWidth(int width) override;
    void SetHeight(int height) override;

    uint8_t Quality() const { return quality_; }
    void SetQuality(uint8_t quality) { quality_ = quality; }
    bool Progressive() const { return progressive_; }
    void SetProgressive(bool progressive) { progressive_ = progressive; }
    TJPEGDecodeDepth DecodeDepth() const { return decodeDepth_; }
    void SetDecodeDepth(TJPEGDecodeDepth depth) { decodeDepth_ = depth; }
    bool Grayscale() const { return data_->grayscale; }

    // Reads the whole file and parses its header (EFOpenError, EJPEG); a file that is not a
    // JPEG is refused from its first bytes, a pipe or device without being waited for.
    void LoadPictureFile(const std::string& path);
    // Takes every byte from the stream's position to its end (EReadError, EJPEG).
    void LoadPictureStream(TStream& stream);
    // The same for bytes already in memory (a whole file, an embedded resource).
    void LoadPictureBytes(std::vector<uint8_t> bytes);

    // Encodes first when no encoded bytes are held; replaces the file crash-safely.
    void SavePictureFile(const std::string& path);
    // Encodes first when no encoded bytes are held; then writes them in one write.
    void SavePictureStream(TStream& stream);

    // Takes a copy of the bitmap's pixels (shared storage) and drops the encoded bytes.
    void CopyPicture(const TBitmap& source);
    // Encodes the held pixels at Quality (progressively when Progressive), replacing the
    // encoded bytes; pixels with a side of 0 give zero bytes and no error.
    void Encode();

    // The pixels, decoded from the encoded bytes when none are held. A failed decoding
    // raises EJPEG once and leaves the pixels as far as it got; later requests return them.
    const TBitmap& Pixels();
    const TBitmap& DrawPixels() override { return Pixels(); }

    bool HasPixels() const { return pixels_ != nullptr; }
    const std::vector<uint8_t>& EncodedBytes() const { return data_->bytes; }

    // Called after every load (the picture's change listeners).
    std::function<void()> OnChange;

    // The settings every new picture starts with; written once at program start.
    static void SetDefaultDecodeDepth(TJPEGDecodeDepth depth);
    static TJPEGDecodeDepth DefaultDecodeDepth();

  private:
    std::shared_ptr<const TJPEGData> data_;
    std::unique_ptr<TBitmap> pixels_;
    uint8_t quality_;
    bool progressive_;
    TJPEGDecodeDepth decodeDepth_;
};

}  // namespace velmora
