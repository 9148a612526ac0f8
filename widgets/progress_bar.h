// TRzProgressBar: a horizontal bar in the classic sunken look showing a whole percent as a
// filled share of its interior and as centred "N%" text that changes colour where the
// filled part ends. Every redraw paints the whole bar off-screen and copies it in one piece.
#pragma once

#include <QColor>
#include <QPixmap>
#include <QWidget>
#include <cstdint>

namespace velmora {

class TRzProgressBar : public QWidget {
    Q_OBJECT

  public:
    explicit TRzProgressBar(QWidget* parent = nullptr);

    uint16_t Percent() const { return percent_; }
    // A new value is painted before this returns; the same value paints nothing.
    // Values above 100 fill the whole bar and show as they are ("120%").
    void SetPercent(uint16_t value);

    bool ShowPercent() const { return showPercent_; }
    void SetShowPercent(bool value);
    // Colour of the unfilled part (default white) and of the text over the filled part.
    QColor BackColor() const { return backColor_; }
    void SetBackColor(QColor value);
    // Colour of the filled part (default highlight) and of the text over the unfilled part.
    QColor BarColor() const { return barColor_; }
    void SetBarColor(QColor value);
    // Colour laid under the border (default button face).
    QColor BorderColor() const { return borderColor_; }
    void SetBorderColor(QColor value);

    // The area inside the sunken edge, and the filled part of it (right and bottom exclusive).
    QRect InteriorRect() const;
    QRect FilledRect() const;
    // Width of the filled part: the interior's width × Percent ÷ 100, rounded half to even.
    static int FilledWidth(int interiorWidth, uint16_t percent);

    // The whole bar as it is drawn.
    QPixmap Render() const;

    QSize sizeHint() const override { return QSize(200, 24); }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    void PaintEdges(QPainter& painter) const;
    void PaintText(QPainter& painter, const QRect& clip, const QColor& color) const;

    uint16_t percent_ = 0;
    bool showPercent_ = true;
    QColor backColor_;
    QColor barColor_;
    QColor borderColor_;
};

}  // namespace velmora
