// Where a picture goes inside a picture view's inner area.
#pragma once

#include <QRect>
#include <QSize>

namespace velmora {

// The picture's rectangle relative to the inner area's top-left corner, for an area of
// `area` and a picture of `picture`; an empty rectangle at the corner for a picture with a
// side below 1.
// Stretch on: scaled to fit with its aspect ratio kept (up or down), integer sides truncated.
// Stretch off: its own size. Center on: moved by half the leftover (truncated towards zero,
// so a picture larger than the area moves up and left).
QRect PlacePicture(QSize area, QSize picture, bool stretch, bool center);

}  // namespace velmora
