#include "VelmoraApplication.h"

#include <QLibraryInfo>

#include "ErrorReport.h"
#include "ProgramIcon.h"
#include "widgets/paint_errors.h"

namespace velmora::ui {

TVelmoraApplication::TVelmoraApplication(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName(QStringLiteral("Velmora"));
    setDesktopFileName(QStringLiteral(VELMORA_APP_ID));
    // Every window, dialogs included, shows it unless it sets one of its own.
    setWindowIcon(ProgramIcon());
    // A picture that fails to decode while it is first drawn is shown like any handler's error.
    SetPaintErrorReporter([](const std::exception& error) { ReportError(ErrorMessage(error)); });
}

void TVelmoraApplication::LoadQtTranslation() {
    if (qtTranslation_.load(QStringLiteral("qtbase_zh_CN"),
                            QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        installTranslator(&qtTranslation_);
    }
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
