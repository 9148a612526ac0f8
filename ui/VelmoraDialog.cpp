#include "VelmoraDialog.h"

#include <QKeyEvent>

#include "DesktopCentring.h"
#include "widgets/song_font.h"

namespace velmora::ui {

TVelmoraDialog::TVelmoraDialog(const QString& caption, QSize clientSize, TCloseBox closeBox)
    : QDialog(nullptr) {
    setWindowTitle(caption);
    setAttribute(Qt::WA_DeleteOnClose);
    Qt::WindowFlags flags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    if (closeBox == TCloseBox::Shown) {
        flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    }
    setWindowFlags(flags);
    setFixedSize(clientSize);
    setFont(SongPixelFont(12));
    setBackgroundRole(QPalette::Button);
    setAutoFillBackground(true);
    CentreOnDesktop(*this);
}

void TVelmoraDialog::closeEvent(QCloseEvent* event) {
    FormClose();
    QDialog::closeEvent(event);
}

void TVelmoraDialog::keyPressEvent(QKeyEvent* event) {
    if (event->key() != Qt::Key_Escape) {
        QDialog::keyPressEvent(event);
    }
}

}  // namespace velmora::ui
