// The gradient-shaded look of the menu bar, its drop-down menus and the toolbar, in the
// system's font. Call once the menus are on the bar.
#pragma once

class QMenuBar;
class QToolBar;

namespace velmora::ui {

void ApplyBarLook(QMenuBar& menuBar, QToolBar& toolBar);

}  // namespace velmora::ui
