// A group box in the classic look: an etched frame whose top edge runs through the middle of
// the caption. Its content area starts 14 pixels below its top and 2 pixels in from the other
// edges, whatever the style, so the controls inside keep their laid-out sizes.
#pragma once

#include <QWidget>

class QHBoxLayout;

namespace velmora::ui {

class TGroupBox : public QWidget {
    Q_OBJECT
  public:
    TGroupBox(const QString& caption, QWidget* parent = nullptr);

    QString Caption() const { return caption_; }
    // Lays children side by side in the content area.
    QHBoxLayout* ContentLayout() const { return layout_; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QString caption_;
    QHBoxLayout* layout_;
};

}  // namespace velmora::ui
