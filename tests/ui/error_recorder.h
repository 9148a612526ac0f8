// Replaces the modal error box by a list of the texts it would have shown.
#pragma once

#include <QStringList>

#include "ui/ErrorReport.h"

namespace velmora::test {

class ErrorRecorder {
  public:
    ErrorRecorder() {
        ui::SetErrorBoxHandler([this](const QString& text) { texts.append(text); });
    }
    ~ErrorRecorder() { ui::SetErrorBoxHandler({}); }
    ErrorRecorder(const ErrorRecorder&) = delete;
    ErrorRecorder& operator=(const ErrorRecorder&) = delete;

    QStringList texts;
};

}  // namespace velmora::test
