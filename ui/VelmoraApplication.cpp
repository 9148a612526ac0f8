#include "VelmoraApplication.h"

#include "ErrorReport.h"

namespace velmora::ui {

TVelmoraApplication::TVelmoraApplication(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName(QStringLiteral("Velmora"));
}

bool TVelmoraApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        ReportError(ErrorMessage(error));
    }
    return true;
}

}  // namespace velmora::ui
