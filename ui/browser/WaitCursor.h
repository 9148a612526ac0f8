// The wait pointer for the duration of a scope (folder enumerations, picture loads, long
// preview steps).
#pragma once

#include <QApplication>

namespace velmora::ui {

class TWaitCursor {
  public:
    TWaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~TWaitCursor() { QApplication::restoreOverrideCursor(); }
    TWaitCursor(const TWaitCursor&) = delete;
    TWaitCursor& operator=(const TWaitCursor&) = delete;
};

}  // namespace velmora::ui
