#include "DesktopCentring.h"

#include <QEvent>
#include <QMargins>
#include <QMetaObject>
#include <QScreen>
#include <QWidget>
#include <QWindow>

namespace velmora::ui {

namespace {

// A window manager reports the frame's extents (_NET_FRAME_EXTENTS) only once it has framed
// the window, after the window was placed; the window is centred again, once, when they
// arrive. A size the window still sets while being shown (a message box fits its text then)
// is centred too.
class TDesktopCentring : public QObject {
  public:
    explicit TDesktopCentring(QWidget& window) : QObject(&window), window_(window) {
        window.installEventFilter(this);
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == &window_) {
            OnWindowEvent(event->type());
        } else if (!framed_ && Framed()) {
            framed_ = true;
            Centre();
        }
        return false;
    }

  private:
    void OnWindowEvent(QEvent::Type type) {
        if (type == QEvent::Show && !shown_) {
            shown_ = true;
            showing_ = true;
            Centre();
            if (QWindow* handle = window_.windowHandle()) {
                handle->installEventFilter(this);
            }
            // Runs once the showing, and any resize it makes, is over.
            QMetaObject::invokeMethod(
                this, [this] { showing_ = false; }, Qt::QueuedConnection);
        } else if (type == QEvent::Resize && showing_) {
            Centre();
        }
    }

    // The platform window's own events come once the window manager has framed it; while
    // it reparents the window, the extents can read negative for a moment.
    bool Framed() const {
        const QMargins margins = FrameMargins();
        return margins != margins_ && margins.left() >= 0 && margins.top() >= 0 &&
               margins.right() >= 0 && margins.bottom() >= 0;
    }

    QMargins FrameMargins() const {
        const QWindow* handle = window_.windowHandle();
        return handle ? handle->frameMargins() : QMargins();
    }

    // Placed by its client area: Qt's own idea of the frame can lag behind the window manager
    // just when the extents arrive.
    void Centre() {
        margins_ = FrameMargins();
        const QRect area = window_.screen()->availableGeometry();
        const QSize outer = window_.size().grownBy(margins_);
        const QPoint frame(area.x() + (area.width() - outer.width()) / 2,
                           area.y() + (area.height() - outer.height()) / 2);
        window_.setGeometry(QRect(frame + QPoint(margins_.left(), margins_.top()), window_.size()));
    }

    QWidget& window_;
    QMargins margins_;
    bool shown_ = false;
    bool showing_ = false;
    bool framed_ = false;
};

}  // namespace

void CentreOnDesktop(QWidget& window) {
    new TDesktopCentring(window);
}

}  // namespace velmora::ui
