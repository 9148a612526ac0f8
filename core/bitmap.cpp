#include "bitmap.h"

#include <limits>
#include <new>
#include <utility>

#include "errors.h"
#include "jpeg_image.h"

namespace velmora {

namespace {

int BytesPerPixel(TPixelFormat format) {
    return format == TPixelFormat::pf24bit ? 3 : 1;
}

// Pixel storage is the one allocation that grows with the picture: running out of memory
// there is an error of the operation, not the end of the program.
template <typename Storage, typename... Args>
std::shared_ptr<Storage> NewStorage(Args&&... args) {
    try {
        return std::make_shared<Storage>(std::forward<Args>(args)...);
    } catch (const std::bad_alloc&) {
        throw EOutOfMemory();
    }
}

}  // namespace

TBitmap::TBitmap(int width, int height, TPixelFormat format) : format_(format) {
    SetSize(width, height);
}

void TBitmap::SetSize(int width, int height) {
    if (width < 0 || height < 0) {
        throw EInvalidGraphicOperation("Invalid bitmap size");
    }
    if (width == width_ && height == height_ && (pixels_ || Empty())) {
        return;
    }
    width_ = width;
    height_ = height;
    Allocate();
}

void TBitmap::SetPixelFormat(TPixelFormat format) {
    if (format == format_) {
        return;
    }
    format_ = format;
    Allocate();
}

int TBitmap::BytesPerLine() const {
    const int64_t raw = static_cast<int64_t>(width_) * BytesPerPixel(format_);
    return static_cast<int>((raw + 3) & ~int64_t{3});
}

const uint8_t* TBitmap::ScanLine(int row) const {
    if (row < 0 || row >= height_ || !pixels_) {
        throw EInvalidGraphicOperation("Scan line index out of range");
    }
    return pixels_->data() + static_cast<size_t>(row) * static_cast<size_t>(BytesPerLine());
}

uint8_t* TBitmap::ScanLine(int row) {
    if (row < 0 || row >= height_ || !pixels_) {
        throw EInvalidGraphicOperation("Scan line index out of range");
    }
    Detach();
    return pixels_->data() + static_cast<size_t>(row) * static_cast<size_t>(BytesPerLine());
}

void TBitmap::CopyPicture(const TBitmap& source) {
    if (&source != this) {
        *this = source;
    }
}

void TBitmap::CopyPicture(TJPEGImage& source) {
    CopyPicture(source.Pixels());
}

void TBitmap::Allocate() {
    pixels_.reset();
    if (Empty()) {
        return;
    }
    const int64_t bytesPerLine = static_cast<int64_t>(width_) * BytesPerPixel(format_) + 3;
    if (bytesPerLine > std::numeric_limits<int>::max()) {
        width_ = height_ = 0;
        throw EInvalidGraphicOperation("Invalid bitmap size");
    }
    const size_t size = static_cast<size_t>(BytesPerLine()) * static_cast<size_t>(height_);
    try {
        pixels_ = NewStorage<Storage>(size);
    } catch (const EOutOfMemory&) {
        // Never a size without storage behind it.
        width_ = height_ = 0;
        throw;
    }
}

void TBitmap::Detach() {
    if (pixels_ && pixels_.use_count() > 1) {
        pixels_ = NewStorage<Storage>(*pixels_);
    }
}

void PaletteRowToBgr(const uint8_t* indexes, int width, const std::vector<TPaletteEntry>& palette,
                     uint8_t* bgr) {
    for (int x = 0; x < width; ++x, bgr += 3) {
        const size_t i = indexes[x];
        const TPaletteEntry colour = i < palette.size() ? palette[i] : TPaletteEntry{};
        bgr[0] = colour.blue;
        bgr[1] = colour.green;
        bgr[2] = colour.red;
    }
}

const uint8_t* BgrScanLine(const TBitmap& bitmap, int y, std::vector<uint8_t>& scratch) {
    const uint8_t* row = bitmap.ScanLine(y);
    if (bitmap.PixelFormat() == TPixelFormat::pf24bit) {
        return row;
    }
    scratch.resize(static_cast<size_t>(bitmap.Width()) * 3);
    PaletteRowToBgr(row, bitmap.Width(), bitmap.Palette(), scratch.data());
    return scratch.data();
}

}  // namespace velmora
