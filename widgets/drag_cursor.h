// The cursor the slider shows over its thumb: the arrow pointer with a small pair of
// arrowheads at its lower right, pointing left and right (or up and down when vertical).
#pragma once

#include <QCursor>

namespace velmora {

QCursor MakeThumbDragCursor(bool vertical);

}  // namespace velmora
