// A QImage that reads a bitmap's rows in place, for drawing without copying the pixels.
#pragma once

#include <QImage>

#include "core/bitmap.h"

namespace velmora {

// 24-bit bitmaps become Format_BGR888 and 8-bit ones Format_Indexed8 with the palette as
// colour table; an empty bitmap gives a null image. The image borrows the bitmap's storage:
// use it only while the bitmap lives and is not written.
QImage BitmapView(const TBitmap& bitmap);

}  // namespace velmora
