#include "ErrorReport.h"

#include <QApplication>
#include <QMessageBox>
#include <QWidget>

#include "DesktopCentring.h"

namespace velmora::ui {

namespace {

std::function<void(const QString&)>& BoxHandler() {
    static std::function<void(const QString&)> handler;
    return handler;
}

void ShowBox(const QString& text) {
    QMessageBox box(QMessageBox::Critical, QApplication::applicationName(), text, QMessageBox::Ok,
                    QApplication::activeWindow());
    CentreOnDesktop(box);
    box.exec();
}

}  // namespace

QString ErrorBoxText(const QString& message) {
    if (!message.isEmpty() && message.back() > QLatin1Char('.')) {
        return message + QLatin1Char('.');
    }
    return message;
}

QString ErrorMessage(const std::exception& error) {
    return QString::fromUtf8(error.what());
}

void ReportError(const QString& message) {
    if (QWidget* grabber = QWidget::mouseGrabber()) {
        grabber->releaseMouse();
    }
    const QString text = ErrorBoxText(message);
    if (BoxHandler()) {
        BoxHandler()(text);
    } else {
        ShowBox(text);
    }
}

void SetErrorBoxHandler(std::function<void(const QString& text)> handler) {
    BoxHandler() = std::move(handler);
}

void RunHandler(const std::function<void()>& handler) {
    try {
        handler();
    } catch (const std::exception& error) {
        ReportError(ErrorMessage(error));
    }
}

}  // namespace velmora::ui
