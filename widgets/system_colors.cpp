#include "widgets/system_colors.h"

namespace velmora {

QPalette::ColorRole SysColorRole(TSysColor color) {
    switch (color) {
        case TSysColor::BtnFace:
            return QPalette::Button;
        case TSysColor::BtnShadow:
            return QPalette::Dark;
        case TSysColor::BtnHighlight:
            return QPalette::Light;
        case TSysColor::DkShadow3D:
            return QPalette::Shadow;
        case TSysColor::Light3D:
            return QPalette::Midlight;
        case TSysColor::Highlight:
            return QPalette::Highlight;
        case TSysColor::WindowText:
            return QPalette::WindowText;
    }
    return QPalette::Button;
}

QColor SysColor(TSysColor color, const QPalette& palette) {
    return palette.color(QPalette::Active, SysColorRole(color));
}

}  // namespace velmora
