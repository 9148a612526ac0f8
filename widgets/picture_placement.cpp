#include "widgets/picture_placement.h"

#include <cstdint>

namespace velmora {

QRect PlacePicture(QSize area, QSize picture, bool stretch, bool center) {
    const int64_t cw = area.width();
    const int64_t ch = area.height();
    const int64_t pw = picture.width();
    const int64_t ph = picture.height();
    if (pw < 1 || ph < 1) {
        return QRect(0, 0, 0, 0);  // nothing to place, and nothing to divide by
    }
    int64_t w = pw;
    int64_t h = ph;
    if (stretch) {
        // Compared as floating-point quotients, so a zero-height area counts as infinitely wide.
        if (static_cast<double>(cw) / ch >= static_cast<double>(pw) / ph) {
            h = ch;
            w = ch * pw / ph;
        } else {
            w = cw;
            h = cw * ph / pw;
        }
    }
    int64_t left = 0;
    int64_t top = 0;
    if (center) {
        left = (cw - w) / 2;
        top = (ch - h) / 2;
    }
    return QRect(static_cast<int>(left), static_cast<int>(top), static_cast<int>(w),
                 static_cast<int>(h));
}

}  // namespace velmora
