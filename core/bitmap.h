// Pixels in memory: 24-bit rows of blue, green, red bytes padded to 4 bytes, or 8-bit
// palette indexes. Storage is shared between copies until one of them is written.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "graphic.h"
#include "picture_metadata.h"
#include "pixel_allocator.h"

namespace velmora {

class TJPEGImage;

enum class TPixelFormat { pf8bit, pf24bit };

struct TPaletteEntry {
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;
    uint8_t flags = 0;
    friend bool operator==(const TPaletteEntry&, const TPaletteEntry&) = default;
};

class TBitmap final : public TGraphic {
  public:
    TBitmap() = default;
    TBitmap(int width, int height, TPixelFormat format = TPixelFormat::pf24bit);

    int Width() const override { return width_; }
    int Height() const override { return height_; }
    // No pixels: a side is 0.
    bool Empty() const override { return width_ == 0 || height_ == 0; }
    void SetWidth(int width) override { SetSize(width, height_); }
    void SetHeight(int height) override { SetSize(width_, height); }
    // Allocates zeroed storage once both sides are non-zero; a side of 0 frees it. When the
    // storage cannot be had (EOutOfMemory, EInvalidGraphicOperation) the bitmap is left empty.
    void SetSize(int width, int height);

    TPixelFormat PixelFormat() const { return format_; }
    // Changing the format reallocates the storage (content zeroed).
    void SetPixelFormat(TPixelFormat format);
    const std::vector<TPaletteEntry>& Palette() const { return palette_; }
    void SetPalette(std::vector<TPaletteEntry> palette) { palette_ = std::move(palette); }

    // Bytes from one row to the next: width × bytes per pixel, rounded up to a multiple of 4.
    int BytesPerLine() const;
    // Row 0 is the top row. Out-of-range rows raise EInvalidGraphicOperation
    // "Scan line index out of range". The writable form detaches shared storage first.
    const uint8_t* ScanLine(int row) const;
    uint8_t* ScanLine(int row);
    // The whole storage, rows top to bottom with BytesPerLine() between them (nullptr when empty).
    const uint8_t* Bits() const { return pixels_ ? pixels_->data() : nullptr; }

    // Orientation and colour profile carried from a decoded JPEG to its re-encoding.
    const TPictureMetadata& Metadata() const { return metadata_; }
    void SetMetadata(TPictureMetadata metadata) { metadata_ = std::move(metadata); }

    // Becomes a copy of another bitmap (storage shared until either side is written).
    void CopyPicture(const TBitmap& source);
    // Receives the picture's pixels, decoding them first when it holds none.
    void CopyPicture(TJPEGImage& source);

    const TBitmap& DrawPixels() override { return *this; }

  private:
    void Allocate();
    void Detach();

    int width_ = 0;
    int height_ = 0;
    TPixelFormat format_ = TPixelFormat::pf24bit;
    std::vector<TPaletteEntry> palette_;
    TPictureMetadata metadata_;
    using Storage = std::vector<uint8_t, PixelAllocator<uint8_t>>;
    std::shared_ptr<Storage> pixels_;
};

// A row of palette indexes as blue, green, red bytes; indexes past the palette are black.
void PaletteRowToBgr(const uint8_t* indexes, int width, const std::vector<TPaletteEntry>& palette,
                     uint8_t* bgr);

// Row y as blue, green, red bytes: the row itself in a 24-bit bitmap; a palette row is
// converted into scratch, which is sized on first use.
const uint8_t* BgrScanLine(const TBitmap& bitmap, int y, std::vector<uint8_t>& scratch);

}  // namespace velmora
