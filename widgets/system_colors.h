// The Windows system colours the painted controls use, resolved through one QPalette mapping
// so every control agrees on what "button face" or "3-D dark shadow" means.
#pragma once

#include <QColor>
#include <QGuiApplication>
#include <QPalette>

namespace velmora {

enum class TSysColor {
    BtnFace,       // face of buttons and panels
    BtnShadow,     // shaded edge of a raised or sunken element
    BtnHighlight,  // lit edge of a raised or sunken element
    DkShadow3D,    // darkest edge of a sunken element
    Light3D,       // light edge just inside the lit one
    Highlight,     // selected items
    WindowText,    // text on windows
};

QPalette::ColorRole SysColorRole(TSysColor color);

QColor SysColor(TSysColor color, const QPalette& palette = QGuiApplication::palette());

}  // namespace velmora
