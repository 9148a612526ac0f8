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

  protected:
    QSplitterHandle* createHandle() override;

  private:
    friend class TSplitterHandle;
    void HideLine() { setRubberBand(-1); }
};

}  // namespace velmora::ui
