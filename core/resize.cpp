#include "resize.h"

#include <cmath>
#include <new>
#include <vector>

#include "box_shrink.h"
#include "errors.h"

namespace velmora {

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
    try {
        BoxShrink shrink(source.Width(), source.Height(), target.Width(), target.Height());
        std::vector<uint8_t> scratch;
        int targetRow = 0;
        for (int y = 0; y < source.Height(); ++y) {
            if (shrink.AddRow(BgrScanLine(source, y, scratch), target.ScanLine(targetRow))) {
                ++targetRow;
            }
        }
    } catch (const std::bad_alloc&) {
        throw EOutOfMemory();
    }
}

}  // namespace velmora
