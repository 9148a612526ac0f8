// The pointer-shaped thumb of the percent slider: three state images and the shape mask.
#pragma once

#include <QColor>
#include <QImage>

namespace velmora {

// The thumb's size along the track and across it.
constexpr int kThumbLength = 11;
constexpr int kThumbThickness = 21;

// Colours of the band near the base and of the tip's edges for one state.
struct TThumbColors {
    QColor band;
    QColor leftEdge;
    QColor rightEdge;
};

enum class THotTrackColorType { htctComplement, htctActual };

TThumbColors NormalThumbColors(QColor highlight);
TThumbColors HotThumbColors(QColor hotTrackColor, THotTrackColorType type);
TThumbColors DisabledThumbColors(QColor buttonShadow);

struct TThumbImages {
    // Premultiplied ARGB; pixels outside the pointer's shape are fully transparent, so
    // drawing an image over the background clears exactly the masked pixels.
    QImage normal;
    QImage hot;
    QImage disabled;
    // Mono image: colour index 1 (opaque) exactly on the pointer's shape.
    QImage mask;
};

// The images with the tip at the top (horizontal slider), or transposed so that the tip
// points left and the lit edges stay at the top-left (vertical slider).
TThumbImages MakeThumbImages(const TThumbColors& normal, const TThumbColors& hot,
                             const TThumbColors& disabled, bool vertical);

}  // namespace velmora
