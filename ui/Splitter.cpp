#include "Splitter.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QSplitterHandle>

namespace velmora::ui {

// Remembers the sizes when the drag began so that a cancelled drag ends where it started.
class TSplitterHandle : public QSplitterHandle {
  public:
    TSplitterHandle(Qt::Orientation orientation, TSplitter* parent)
        : QSplitterHandle(orientation, parent), splitter_(parent) {}

  protected:
    void mousePressEvent(QMouseEvent* event) override {
        if (event->button() == Qt::LeftButton) {
            dragging_ = true;
            cancelled_ = false;
            sizesAtPress_ = splitter_->sizes();
            grabKeyboard();
        }
        QSplitterHandle::mousePressEvent(event);
    }

    void mouseMoveEvent(QMouseEvent* event) override {
        if (!cancelled_) {
            QSplitterHandle::mouseMoveEvent(event);
        }
    }

    void mouseReleaseEvent(QMouseEvent* event) override {
        QSplitterHandle::mouseReleaseEvent(event);
        if (event->button() == Qt::LeftButton) {
            releaseKeyboard();
            dragging_ = false;
            if (cancelled_) {
                splitter_->setSizes(sizesAtPress_);
            }
        }
    }

    void keyPressEvent(QKeyEvent* event) override {
        if (event->key() == Qt::Key_Escape && dragging_) {
            cancelled_ = true;
            splitter_->HideLine();
            return;
        }
        QSplitterHandle::keyPressEvent(event);
    }

  private:
    TSplitter* splitter_;
    bool dragging_ = false;
    bool cancelled_ = false;
    QList<int> sizesAtPress_;
};

TSplitter::TSplitter(Qt::Orientation orientation, QWidget* parent)
    : QSplitter(orientation, parent) {
    setHandleWidth(kWidth);
    setOpaqueResize(false);
}

QSplitterHandle* TSplitter::createHandle() {
    return new TSplitterHandle(orientation(), this);
}

}  // namespace velmora::ui
