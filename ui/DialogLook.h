// The common look of the dialogs: fixed client size, the "宋体" 12-pixel font, button-face
// background.
#pragma once

#include <QSize>

class QWidget;

namespace velmora::ui {

void ApplyDialogLook(QWidget& dialog, QSize clientSize);

}  // namespace velmora::ui
