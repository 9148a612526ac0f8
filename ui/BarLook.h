// The gradient-shaded look of the menu bar and the toolbar, in the system's font.
#pragma once

class QMenuBar;
class QToolBar;

namespace velmora::ui {

void ApplyBarLook(QMenuBar& menuBar, QToolBar& toolBar);

}  // namespace velmora::ui
