// Where every window of the program opens: centred on the desktop, frame included.
#pragma once

class QWidget;

namespace velmora::ui {

// Centres the top-level window on its screen's free area when it is first shown, by the
// outer size: the window plus the frame the window manager gives it. Call before showing.
void CentreOnDesktop(QWidget& window);

}  // namespace velmora::ui
