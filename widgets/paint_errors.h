// Errors raised while a control paints (a JPEG picture that fails to decode on its first
// draw). Qt cannot carry an exception out of paintEvent, so the control catches it there and
// hands it to the reporter that the application installs.
#pragma once

#include <exception>
#include <functional>

#include "core/bitmap.h"

namespace velmora {

using TPaintErrorReporter = std::function<void(const std::exception&)>;

// Installs the reporter; an empty one (the default) drops the errors.
void SetPaintErrorReporter(TPaintErrorReporter reporter);

// Hands the error to the reporter from the event loop, after the paint has finished, so a
// reporter that opens a modal message box does not run inside a paint.
void ReportPaintError(std::exception_ptr error);

// The pixels to paint, decoding a JPEG picture on first use. A decoding error goes to the
// reporter and the pixels decoded so far are painted; nullptr only if even those are refused.
const TBitmap* PixelsToPaint(TGraphic& graphic);

}  // namespace velmora
