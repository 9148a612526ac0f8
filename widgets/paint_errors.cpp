#include "widgets/paint_errors.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <utility>

namespace velmora {
namespace {

TPaintErrorReporter& Reporter() {
    static TPaintErrorReporter reporter;
    return reporter;
}

void Deliver(const std::exception_ptr& error) {
    const TPaintErrorReporter& reporter = Reporter();
    if (!reporter) {
        return;
    }
    try {
        std::rethrow_exception(error);
    } catch (const std::exception& e) {
        reporter(e);
    }
}

}  // namespace

void SetPaintErrorReporter(TPaintErrorReporter reporter) {
    Reporter() = std::move(reporter);
}

void ReportPaintError(std::exception_ptr error) {
    QCoreApplication* app = QCoreApplication::instance();
    if (!app) {
        Deliver(error);
        return;
    }
    QMetaObject::invokeMethod(
        app, [error = std::move(error)] { Deliver(error); }, Qt::QueuedConnection);
}

const TBitmap* PixelsToPaint(TGraphic& graphic) {
    try {
        return &graphic.DrawPixels();
    } catch (const std::exception&) {
        ReportPaintError(std::current_exception());
    }
    // A failed decoding keeps what it decoded and does not fail again.
    try {
        return &graphic.DrawPixels();
    } catch (const std::exception&) {
        return nullptr;
    }
}

}  // namespace velmora
