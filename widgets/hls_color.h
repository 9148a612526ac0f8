// Hue, luminance and saturation on the Windows scales: hue 0..239, luminance and saturation
// 0..240. The slider's thumb colours are defined on these scales, so they are converted with
// the same integer arithmetic rather than Qt's 0..359 / 0..255 HSL.
#pragma once

#include <QColor>

namespace velmora {

struct THLS {
    int hue = 0;
    int luminance = 0;
    int saturation = 0;
    friend bool operator==(const THLS&, const THLS&) = default;
};

constexpr int kHLSMax = 240;

THLS ColorToHLS(QColor color);
QColor ColorFromHLS(THLS hls);

// The colour with its luminance moved by delta (clamped to 0..240), hue and saturation kept.
QColor AdjustLuminance(QColor color, int delta);

}  // namespace velmora
