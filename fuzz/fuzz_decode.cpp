// Fuzz target: arbitrary bytes loaded as a JPEG picture and decoded.
// Every failure must be one of the system's typed errors; anything else (a crash, a sanitizer
// report, a foreign exception) is a finding.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/bitmap.h"
#include "core/errors.h"
#include "core/jpeg_image.h"
#include "core/jpeg_reader.h"
#include "fuzz_support.h"

namespace {

using velmora::TBitmap;
using velmora::TJPEGDecodeDepth;
using velmora::TJPEGImage;
using velmora::TPixelFormat;
using velmora::fuzz::Check;

// What a decoded (or partly decoded) bitmap must always satisfy: the header's size, or nothing
// when the decoding stopped before the size was known.
void CheckPixels(const TBitmap& pixels, int headerWidth, int headerHeight) {
    if (pixels.Empty()) {
        return;
    }
    Check(pixels.Width() == headerWidth && pixels.Height() == headerHeight);
    Check(pixels.BytesPerLine() % 4 == 0);
    if (pixels.PixelFormat() == TPixelFormat::pf8bit) {
        Check(pixels.Palette().size() <= 256);
    }
    // Touch the last byte of the last row: the storage must cover every row.
    volatile uint8_t last = pixels.ScanLine(pixels.Height() - 1)[pixels.BytesPerLine() - 1];
    (void)last;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    velmora::jpeg::SetDecodedBytesLimit(velmora::fuzz::kDecodedBytesLimit);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TJPEGImage picture;
    // Both decoding depths are reached without spending an input byte on the choice, so that
    // seed files stay plain JPEG files.
    picture.SetDecodeDepth(size % 2 ? TJPEGDecodeDepth::jd8bit : TJPEGDecodeDepth::jd24bit);
    try {
        picture.LoadPictureBytes(std::vector<uint8_t>(data, data + size));
    } catch (const velmora::Exception&) {
        return 0;
    }
    const int width = picture.Width();
    const int height = picture.Height();
    bool failed = false;
    try {
        const TBitmap& pixels = picture.Pixels();
        Check(!pixels.Empty() || width == 0 || height == 0);
        CheckPixels(pixels, width, height);
    } catch (const velmora::Exception&) {
        failed = true;
    }
    // A failed decoding keeps the rows it got; asking again returns them without an error.
    const TBitmap& again = picture.Pixels();
    if (failed) {
        CheckPixels(again, width, height);
    }
    return 0;
}
