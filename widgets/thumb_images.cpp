#include "widgets/thumb_images.h"

#include <cstdlib>

#include "widgets/hls_color.h"
#include "widgets/system_colors.h"

namespace velmora {
namespace {

constexpr int kTipRows = 5;   // rows 0..4: the triangle
constexpr int kBandTop = 17;  // rows 17..19: the state-coloured band
constexpr int kBaseRow = 20;  // the dark base line
constexpr int kCentre = kThumbLength / 2;

// The pointer's shape: a triangle widening by one pixel each side per row, then the body.
bool InsidePointer(int x, int y) {
    if (y >= kTipRows) {
        return true;
    }
    return std::abs(x - kCentre) <= y;
}

struct TFixedColors {
    QColor face = SysColor(TSysColor::BtnFace);
    QColor light = SysColor(TSysColor::BtnHighlight);
    QColor shadow = SysColor(TSysColor::BtnShadow);
    QColor dark = SysColor(TSysColor::DkShadow3D);
};

// Colour of one pixel of the upright thumb (x along the track, y across it, tip at y = 0).
QColor PointerPixel(int x, int y, const TThumbColors& state, const TFixedColors& fixed) {
    if (y == kBaseRow) {
        return fixed.dark;
    }
    if (y < kTipRows) {
        const int edge = kCentre - y;
        if (x == edge) {
            return state.leftEdge;
        }
        if (x == kThumbLength - 1 - edge) {
            return state.rightEdge;
        }
        return fixed.face;
    }
    if (y >= kBandTop) {
        if (x == 0) {
            return state.leftEdge;
        }
        if (x == kThumbLength - 1) {
            return state.rightEdge;
        }
        return state.band;
    }
    if (x == 0) {
        return fixed.light;
    }
    if (x == kThumbLength - 1) {
        return fixed.dark;
    }
    if (x == kThumbLength - 2) {
        return fixed.shadow;
    }
    return fixed.face;
}

QSize ImageSize(bool vertical) {
    return vertical ? QSize(kThumbThickness, kThumbLength) : QSize(kThumbLength, kThumbThickness);
}

QImage StateImage(const TThumbColors& state, const TFixedColors& fixed, bool vertical) {
    QImage image(ImageSize(vertical), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    for (int y = 0; y < kThumbThickness; ++y) {
        for (int x = 0; x < kThumbLength; ++x) {
            if (InsidePointer(x, y)) {
                const QRgb rgb = PointerPixel(x, y, state, fixed).rgb();
                vertical ? image.setPixel(y, x, rgb) : image.setPixel(x, y, rgb);
            }
        }
    }
    return image;
}

QImage MaskImage(bool vertical) {
    QImage mask(ImageSize(vertical), QImage::Format_Mono);
    mask.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    mask.fill(0);
    for (int y = 0; y < kThumbThickness; ++y) {
        for (int x = 0; x < kThumbLength; ++x) {
            if (InsidePointer(x, y)) {
                vertical ? mask.setPixel(y, x, 1) : mask.setPixel(x, y, 1);
            }
        }
    }
    return mask;
}

TThumbColors EdgesAround(QColor band) {
    return {band, AdjustLuminance(band, 30), AdjustLuminance(band, -30)};
}

}  // namespace

TThumbColors NormalThumbColors(QColor highlight) {
    return EdgesAround(highlight);
}

TThumbColors HotThumbColors(QColor hotTrackColor, THotTrackColorType type) {
    if (type == THotTrackColorType::htctActual) {
        return EdgesAround(hotTrackColor);
    }
    const int hue = ColorToHLS(hotTrackColor).hue;
    const QColor complement = ColorFromHLS({hue < 120 ? hue + 120 : hue - 120, 180, 220});
    return {AdjustLuminance(complement, -15), complement, AdjustLuminance(complement, -30)};
}

TThumbColors DisabledThumbColors(QColor buttonShadow) {
    return EdgesAround(buttonShadow);
}

TThumbImages MakeThumbImages(const TThumbColors& normal, const TThumbColors& hot,
                             const TThumbColors& disabled, bool vertical) {
    const TFixedColors fixed;
    return {StateImage(normal, fixed, vertical), StateImage(hot, fixed, vertical),
            StateImage(disabled, fixed, vertical), MaskImage(vertical)};
}

}  // namespace velmora
