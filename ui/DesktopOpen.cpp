#include "DesktopOpen.h"

#include <QDesktopServices>

namespace velmora::ui {

namespace {

std::function<void(const QUrl&)>& OpenHandler() {
    static std::function<void(const QUrl&)> handler;
    return handler;
}

}  // namespace

void OpenWithDesktop(const QUrl& url) {
    if (OpenHandler()) {
        OpenHandler()(url);
    } else {
        QDesktopServices::openUrl(url);
    }
}

void SetDesktopOpenHandler(std::function<void(const QUrl& url)> handler) {
    OpenHandler() = std::move(handler);
}

}  // namespace velmora::ui
