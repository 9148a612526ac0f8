// A splitter that shows a line while dragged, applies the new size on release, and lets Esc
// cancel the drag.
#pragma once

#include <QSplitter>

namespace velmora::ui {

class TSplitter : public QSplitter {
    Q_OBJECT
  public:
    static constexpr int kWidth = 3;

    TSplitter(Qt::Orientation orientation, QWidget* parent = nullptr);

    // A drag of the first handle released at this size of the first widget or less closes
    // that widget (size 0), and the line shows it while dragging; 0, the default, never does.
    void SetSnapShutSize(int size) { snapShutSize_ = size; }
    int SnapShutSize() const { return snapShutSize_; }

  protected:
    QSplitterHandle* createHandle() override;

  private:
    friend class TSplitterHandle;
    void HideLine() { setRubberBand(-1); }
    void ShowLine(int position) { setRubberBand(position); }
    int snapShutSize_ = 0;
};

}  // namespace velmora::ui
