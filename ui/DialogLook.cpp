#include "DialogLook.h"

#include <QFont>
#include <QWidget>
#include "widgets/song_font.h"

namespace velmora::ui {

void ApplyDialogLook(QWidget& dialog, QSize clientSize) {
    dialog.setFixedSize(clientSize);
    dialog.setFont(SongPixelFont(12));
    dialog.setBackgroundRole(QPalette::Button);
    dialog.setAutoFillBackground(true);
}

}  // namespace velmora::ui
