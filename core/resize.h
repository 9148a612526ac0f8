// Scaling a picture to a percent of its size.
#pragma once

#include "bitmap.h"

namespace velmora {

// side × (percent ÷ 100) rounded to the nearest integer, halves to even, with the quotient
// and the product each rounded to 80-bit extended precision first.
int PercentSize(int side, int percent);

// Draws the whole source into the whole target (already sized, no side larger than the
// source's): every target pixel is the mean of the source area mapped onto it, per 8-bit
// channel; equal sizes copy. The target becomes 24-bit; a target with a side of 0 receives
// nothing. A larger target raises EInvalidGraphicOperation.
void StretchToBitmap(TBitmap& target, const TBitmap& source);

}  // namespace velmora
