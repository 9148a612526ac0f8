// Opening a dialog through its global: created on demand, shown modally; the dialog frees
// itself and empties the global when it closes.
#pragma once

#include <QPointer>
#include <QWidget>
#include <QWindow>

namespace velmora::ui {

// The dialog belongs to the application, not to the window it is opened over; it is only
// kept with that window, so that the window manager minimises and restores the two together
// and a minimised modal dialog never leaves its window blocked with nothing to show for it.
template <typename Dialog>
void OpenDialog(QPointer<Dialog>& global, QWidget& over) {
    if (!global) {
        global = new Dialog();
    }
    global->winId();
    global->windowHandle()->setTransientParent(over.window()->windowHandle());
    global->exec();
}

}  // namespace velmora::ui
