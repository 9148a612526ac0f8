#include "widgets/hls_color.h"

#include <algorithm>

namespace velmora {
namespace {

constexpr int kRGBMax = 255;
// Hue reported for greys, where hue has no meaning.
constexpr int kUndefinedHue = kHLSMax * 2 / 3;

int HueToChannel(int n1, int n2, int hue) {
    if (hue < 0) {
        hue += kHLSMax;
    }
    if (hue > kHLSMax) {
        hue -= kHLSMax;
    }
    if (hue < kHLSMax / 6) {
        return n1 + ((n2 - n1) * hue + kHLSMax / 12) / (kHLSMax / 6);
    }
    if (hue < kHLSMax / 2) {
        return n2;
    }
    if (hue < kHLSMax * 2 / 3) {
        return n1 + ((n2 - n1) * (kHLSMax * 2 / 3 - hue) + kHLSMax / 12) / (kHLSMax / 6);
    }
    return n1;
}

int ToByte(int channel) {
    return std::clamp((channel * kRGBMax + kHLSMax / 2) / kHLSMax, 0, kRGBMax);
}

}  // namespace

THLS ColorToHLS(QColor color) {
    const int r = color.red();
    const int g = color.green();
    const int b = color.blue();
    const int cMax = std::max({r, g, b});
    const int cMin = std::min({r, g, b});
    THLS hls;
    hls.luminance = ((cMax + cMin) * kHLSMax + kRGBMax) / (2 * kRGBMax);
    if (cMax == cMin) {
        hls.hue = kUndefinedHue;
        return hls;
    }
    const int delta = cMax - cMin;
    if (hls.luminance <= kHLSMax / 2) {
        hls.saturation = (delta * kHLSMax + (cMax + cMin) / 2) / (cMax + cMin);
    } else {
        const int rest = 2 * kRGBMax - cMax - cMin;
        hls.saturation = (delta * kHLSMax + rest / 2) / rest;
    }
    const int rDelta = ((cMax - r) * (kHLSMax / 6) + delta / 2) / delta;
    const int gDelta = ((cMax - g) * (kHLSMax / 6) + delta / 2) / delta;
    const int bDelta = ((cMax - b) * (kHLSMax / 6) + delta / 2) / delta;
    int hue;
    if (r == cMax) {
        hue = bDelta - gDelta;
    } else if (g == cMax) {
        hue = kHLSMax / 3 + rDelta - bDelta;
    } else {
        hue = kHLSMax * 2 / 3 + gDelta - rDelta;
    }
    // Hue is circular: 240 is the same as 0.
    hls.hue = (hue % kHLSMax + kHLSMax) % kHLSMax;
    return hls;
}

QColor ColorFromHLS(THLS hls) {
    const int lum = hls.luminance;
    const int sat = hls.saturation;
    if (sat == 0) {
        const int grey = std::clamp(lum * kRGBMax / kHLSMax, 0, kRGBMax);
        return QColor(grey, grey, grey);
    }
    const int magic2 = lum <= kHLSMax / 2 ? (lum * (kHLSMax + sat) + kHLSMax / 2) / kHLSMax
                                          : lum + sat - (lum * sat + kHLSMax / 2) / kHLSMax;
    const int magic1 = 2 * lum - magic2;
    return QColor(ToByte(HueToChannel(magic1, magic2, hls.hue + kHLSMax / 3)),
                  ToByte(HueToChannel(magic1, magic2, hls.hue)),
                  ToByte(HueToChannel(magic1, magic2, hls.hue - kHLSMax / 3)));
}

QColor AdjustLuminance(QColor color, int delta) {
    THLS hls = ColorToHLS(color);
    hls.luminance = std::clamp(hls.luminance + delta, 0, kHLSMax);
    return ColorFromHLS(hls);
}

}  // namespace velmora
