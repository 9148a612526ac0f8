// Draws a slider's tick labels the way the preview frame does: the number above every
// tenth position, centred on the tick, in 9-point "宋体".
#pragma once

#include <QPainter>
#include <QPoint>

#include "widgets/track_bar.h"

namespace velmora::test {

void DrawPercentTickLabel(TRzTrackBar* trackBar, QPainter& canvas, QPoint location, int index);

}  // namespace velmora::test
