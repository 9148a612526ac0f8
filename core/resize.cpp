#include "resize.h"

#include <cmath>
#include <vector>

#include "box_shrink.h"

namespace velmora {

namespace {

// One source row as blue, green, red bytes (palette rows through their colours).
const uint8_t* RowAsBgr(const TBitmap& source, int y, std::vector<uint8_t>& scratch) {
    const uint8_t* row = source.ScanLine(y);
    if (source.PixelFormat() == TPixelFormat::pf24bit) {
        return row;
    }
    PaletteRowToBgr(row, source.Width(), source.Palette(), scratch.data());
    return scratch.data();
}

}  // namespace

int PercentSize(int side, int percent) {
    const long double quotient = static_cast<long double>(percent) / 100.0L;
    const long double product = static_cast<long double>(side) * quotient;
    return static_cast<int>(std::nearbyintl(product));
}

void StretchToBitmap(TBitmap& target, const TBitmap& source) {
    target.SetPixelFormat(TPixelFormat::pf24bit);
    if (target.Empty() || source.Empty()) {
        return;
    }
    if (source.PixelFormat() == TPixelFormat::pf24bit && source.Width() == target.Width() &&
        source.Height() == target.Height()) {
        // Equal sizes copy the pixels: shared storage, copied only if either side is written.
        TPictureMetadata metadata = target.Metadata();
        target.CopyPicture(source);
        target.SetMetadata(std::move(metadata));
        return;
    }
    BoxShrink shrink(source.Width(), source.Height(), target.Width(), target.Height());
    std::vector<uint8_t> scratch(source.PixelFormat() == TPixelFormat::pf24bit
                                     ? 0
                                     : static_cast<size_t>(source.Width()) * 3);
    int targetRow = 0;
    for (int y = 0; y < source.Height(); ++y) {
        if (shrink.AddRow(RowAsBgr(source, y, scratch), target.ScanLine(targetRow))) {
            ++targetRow;
        }
    }
}

}  // namespace velmora
