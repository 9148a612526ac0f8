#include "widgets/progress_bar.h"

#include <QFontMetrics>
#include <QPainter>
#include <cmath>

#include "widgets/system_colors.h"

namespace velmora {
namespace {

// Width of each of the two one-pixel rings of the sunken edge.
constexpr int kEdge = 2;

// One ring: left and top sides first, so the top-right and bottom-left corners take the
// colour of the right and bottom sides.
void PaintRing(QPainter& painter, const QRect& r, const QColor& topLeft,
               const QColor& bottomRight) {
    painter.fillRect(r.left(), r.top(), 1, r.height(), topLeft);
    painter.fillRect(r.left(), r.top(), r.width(), 1, topLeft);
    painter.fillRect(r.right(), r.top(), 1, r.height(), bottomRight);
    painter.fillRect(r.left(), r.bottom(), r.width(), 1, bottomRight);
}

}  // namespace

TRzProgressBar::TRzProgressBar(QWidget* parent)
    : QWidget(parent),
      backColor_(Qt::white),
      barColor_(SysColor(TSysColor::Highlight)),
      borderColor_(SysColor(TSysColor::BtnFace)) {
    setAttribute(Qt::WA_OpaquePaintEvent, true);
    resize(sizeHint());
}

void TRzProgressBar::SetPercent(uint16_t value) {
    if (value == percent_) {
        return;
    }
    percent_ = value;
    repaint();
}

void TRzProgressBar::SetShowPercent(bool value) {
    showPercent_ = value;
    update();
}

void TRzProgressBar::SetBackColor(QColor value) {
    backColor_ = value;
    update();
}

void TRzProgressBar::SetBarColor(QColor value) {
    barColor_ = value;
    update();
}

void TRzProgressBar::SetBorderColor(QColor value) {
    borderColor_ = value;
    update();
}

QRect TRzProgressBar::InteriorRect() const {
    return rect().adjusted(kEdge, kEdge, -kEdge, -kEdge);
}

int TRzProgressBar::FilledWidth(int interiorWidth, uint16_t percent) {
    if (percent >= 100) {
        return interiorWidth;
    }
    // nearbyint rounds halves to even in the default rounding mode.
    const long double exact = static_cast<long double>(interiorWidth) * percent / 100;
    return static_cast<int>(std::nearbyint(exact));
}

QRect TRzProgressBar::FilledRect() const {
    const QRect interior = InteriorRect();
    return QRect(interior.left(), interior.top(), FilledWidth(interior.width(), percent_),
                 interior.height());
}

QPixmap TRzProgressBar::Render() const {
    QPixmap pixmap(size());
    QPainter painter(&pixmap);
    painter.setFont(font());
    painter.fillRect(rect(), borderColor_);
    PaintEdges(painter);

    const QRect interior = InteriorRect();
    const QRect filled = FilledRect();
    const QRect unfilled(filled.left() + filled.width(), interior.top(),
                         interior.width() - filled.width(), interior.height());
    painter.fillRect(filled, barColor_);
    PaintText(painter, filled, backColor_);
    painter.fillRect(unfilled, backColor_);
    PaintText(painter, unfilled, barColor_);
    return pixmap;
}

void TRzProgressBar::PaintEdges(QPainter& painter) const {
    const QPalette& pal = palette();
    const QRect outer = rect();
    PaintRing(painter, outer, SysColor(TSysColor::BtnShadow, pal),
              SysColor(TSysColor::BtnHighlight, pal));
    PaintRing(painter, outer.adjusted(1, 1, -1, -1), SysColor(TSysColor::DkShadow3D, pal),
              SysColor(TSysColor::Light3D, pal));
}

void TRzProgressBar::PaintText(QPainter& painter, const QRect& clip, const QColor& color) const {
    if (!showPercent_ || clip.isEmpty()) {
        return;
    }
    const QString text = QString::number(percent_) + QLatin1Char('%');
    const QFontMetrics metrics(painter.font());
    // The text cell is placed, not the ink: h is the extent height of "X" (the font's line
    // height, ascent plus descent), so the cell sits centred in the interior.
    const int h = metrics.boundingRect(QStringLiteral("X")).height();
    const QRect interior = InteriorRect();
    const int right = interior.left() + interior.width();
    const int bottom = interior.top() + interior.height();
    const int x = right / 2 - metrics.horizontalAdvance(text) / 2;
    const int top = interior.top() + (bottom - interior.top() - h) / 2;
    painter.save();
    painter.setClipRect(clip);
    painter.setPen(color);
    painter.drawText(x, top + metrics.ascent(), text);
    painter.restore();
}

void TRzProgressBar::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawPixmap(0, 0, Render());
}

}  // namespace velmora
