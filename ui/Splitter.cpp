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
            pressOffset_ = Along(event->position().toPoint());
            grabKeyboard();
        }
        QSplitterHandle::mousePressEvent(event);
    }

    void mouseMoveEvent(QMouseEvent* event) override {
        if (cancelled_) {
            return;
        }
        QSplitterHandle::mouseMoveEvent(event);
        if (dragging_ && SnapsShut(*event)) {
            splitter_->ShowLine(0);
        }
    }

    void mouseReleaseEvent(QMouseEvent* event) override {
        QSplitterHandle::mouseReleaseEvent(event);
        if (event->button() == Qt::LeftButton) {
            releaseKeyboard();
            dragging_ = false;
            if (cancelled_) {
                splitter_->setSizes(sizesAtPress_);
            } else if (SnapsShut(*event)) {
                moveSplitter(0);
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
    int Along(QPoint point) const {
        return orientation() == Qt::Horizontal ? point.x() : point.y();
    }

    // Where the handle would go, as the splitter measures it: the first widget's new size
    // when this is the first handle.
    int DraggedTo(const QMouseEvent& event) const {
        return Along(splitter_->mapFromGlobal(event.globalPosition().toPoint())) - pressOffset_;
    }

    bool SnapsShut(const QMouseEvent& event) {
        return splitter_->SnapShutSize() > 0 && splitter_->indexOf(this) == 1 &&
               DraggedTo(event) <= splitter_->SnapShutSize();
    }

    TSplitter* splitter_;
    int pressOffset_ = 0;
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
