// Opening a dialog through its global: created on demand, shown modally; the dialog frees
// itself and empties the global when it closes.
#pragma once

#include <QPointer>

namespace velmora::ui {

template <typename Dialog>
void OpenDialog(QPointer<Dialog>& global) {
    if (!global) {
        global = new Dialog();
    }
    global->exec();
}

}  // namespace velmora::ui
