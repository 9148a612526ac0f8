#include "DialogLook.h"

#include <QFont>
#include <QWidget>

namespace velmora::ui {

void ApplyDialogLook(QWidget& dialog, QSize clientSize) {
    dialog.setFixedSize(clientSize);
    QFont font(QStringLiteral("宋体"));
    font.setPixelSize(12);
    dialog.setFont(font);
    dialog.setBackgroundRole(QPalette::Button);
    dialog.setAutoFillBackground(true);
}

}  // namespace velmora::ui
