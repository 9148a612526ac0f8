// The tick labels of a percent slider: the number above every tenth position, centred on the
// thumb's centre line for it, in 9-point "宋体", drawn without a background.
#pragma once

#include <QPoint>

class QPainter;

namespace velmora {

class TRzTrackBar;

// An OnDrawTick handler: draws nothing for positions that are not a multiple of 10. Only
// location.x is used; the text's top is at y = 1.
void DrawPercentTickLabel(TRzTrackBar* trackBar, QPainter& canvas, QPoint location, int index);

}  // namespace velmora
