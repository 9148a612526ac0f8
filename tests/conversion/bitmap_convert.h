// Moving pixels between the fixtures' red-green-blue images and bitmaps.
#pragma once

#include <array>

#include "core/bitmap.h"
#include "support/jpeg_fixture.h"

namespace velmora::test {

inline TBitmap ToBitmap(const RawImage& image) {
    TBitmap bitmap(image.width, image.height);
    for (int y = 0; y < image.height; ++y) {
        uint8_t* row = bitmap.ScanLine(y);
        for (int x = 0; x < image.width; ++x) {
            const uint8_t* rgb = image.Pixel(x, y);
            uint8_t* bgr = row + ptrdiff_t{3} * x;
            bgr[0] = rgb[2];
            bgr[1] = rgb[1];
            bgr[2] = rgb[0];
        }
    }
    return bitmap;
}

// Red, green, blue of one bitmap pixel (palette pixels through their colours).
inline std::array<uint8_t, 3> RgbAt(const TBitmap& bitmap, int x, int y) {
    const uint8_t* row = bitmap.ScanLine(y);
    if (bitmap.PixelFormat() == TPixelFormat::pf8bit) {
        const TPaletteEntry& entry = bitmap.Palette().at(row[x]);
        return {entry.red, entry.green, entry.blue};
    }
    const uint8_t* bgr = row + ptrdiff_t{3} * x;
    return {bgr[2], bgr[1], bgr[0]};
}

}  // namespace velmora::test
