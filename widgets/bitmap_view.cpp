#include "widgets/bitmap_view.h"

namespace velmora {

QImage BitmapView(const TBitmap& bitmap) {
    if (bitmap.Empty() || !bitmap.Bits()) {
        return QImage();
    }
    if (bitmap.PixelFormat() == TPixelFormat::pf24bit) {
        return QImage(bitmap.Bits(), bitmap.Width(), bitmap.Height(), bitmap.BytesPerLine(),
                      QImage::Format_BGR888);
    }
    QImage image(bitmap.Bits(), bitmap.Width(), bitmap.Height(), bitmap.BytesPerLine(),
                 QImage::Format_Indexed8);
    // Indexes beyond the palette show black rather than reading past the table.
    QList<QRgb> colours(256, qRgb(0, 0, 0));
    const auto& palette = bitmap.Palette();
    for (size_t i = 0; i < palette.size() && i < 256; ++i) {
        colours[static_cast<qsizetype>(i)] =
            qRgb(palette[i].red, palette[i].green, palette[i].blue);
    }
    image.setColorTable(colours);
    return image;
}

}  // namespace velmora
