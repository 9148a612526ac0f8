#include "BarLook.h"

#include <QAction>
#include <QApplication>
#include <QFont>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>

namespace velmora::ui {

namespace {

// Soft blue bars with rounded orange highlights under the pointer.
const char* const kMenuBarStyle = R"(
QMenuBar {
    background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #eef4fd, stop:1 #c9dcf5);
    border-bottom: 1px solid #9fbbe3;
    padding: 0px 2px;
}
QMenuBar::item { padding: 3px 8px; background: transparent; }
QMenuBar::item:selected {
    background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #fff4cc, stop:1 #ffd38f);
    border: 1px solid #2a4d8f;
}
QMenuBar::item:pressed {
    background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #e3eefc, stop:1 #a9c6ee);
    border: 1px solid #2a4d8f;
}
QMenu { background: #fafcff; border: 1px solid #2a4d8f; }
QMenu::item { padding: 4px 24px 4px 6px; }
QMenu::icon { padding-left: 4px; }
QMenu::item:selected { background: #ffe3a8; border: 1px solid #2a4d8f; color: black; }
)";

const char* const kToolBarStyle = R"(
QToolBar {
    background: qlineargradient(x1:0, y1:0, x2:0, y2:1,
                                stop:0 #f6f9fe, stop:0.5 #dce8f9, stop:1 #aec8ec);
    border: 1px solid #7f9fd0;
    border-radius: 3px;
    margin: 0px 2px;
    padding: 0px 1px;
    spacing: 2px;
}
QToolButton { background: transparent; border: 1px solid transparent; padding: 0px 8px; }
QToolButton:hover {
    background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #fff4cc, stop:1 #ffd38f);
    border: 1px solid #2a4d8f;
}
QToolButton:pressed {
    background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #fdb45c, stop:1 #fed38a);
    border: 1px solid #2a4d8f;
}
)";

// The system's font, drawn without smoothing like the rest of the interface, so that the
// Song face's own bitmap glyphs draw the Chinese captions at 12 pixels.
QFont BarFont() {
    QFont font = QApplication::font();
    font.setStyleStrategy(QFont::NoAntialias);
    return font;
}

}  // namespace

void ApplyBarLook(QMenuBar& menuBar, QToolBar& toolBar) {
    const QFont font = BarFont();
    menuBar.setFont(font);
    toolBar.setFont(font);
    // The drop-down menus are windows of their own and inherit no font from the bar.
    for (QAction* item : menuBar.actions()) {
        if (QMenu* menu = item->menu()) {
            menu->setFont(font);
        }
    }
    menuBar.setStyleSheet(QString::fromLatin1(kMenuBarStyle));
    toolBar.setStyleSheet(QString::fromLatin1(kToolBarStyle));
}

}  // namespace velmora::ui
