// The one-pane status bar of the main window: a framed line of text drawn without a window
// of its own look.
#pragma once

#include <QWidget>

namespace velmora::ui {

class TRzStatusPane : public QWidget {
    Q_OBJECT
  public:
    explicit TRzStatusPane(QWidget* parent = nullptr);

    QString Caption() const { return caption_; }
    void SetCaption(const QString& caption);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QString caption_;
};

}  // namespace velmora::ui
