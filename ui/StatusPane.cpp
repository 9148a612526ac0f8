#include "StatusPane.h"

#include <QPainter>

#include "widgets/hls_color.h"
#include "widgets/system_colors.h"

namespace velmora::ui {

namespace {

// 2 pixels of border, a caption offset of 2 and 1 more.
constexpr int kTextLeft = 5;

}  // namespace

TRzStatusPane::TRzStatusPane(QWidget* parent) : QWidget(parent) {}

void TRzStatusPane::SetCaption(const QString& caption) {
    if (caption != caption_) {
        caption_ = caption;
        update();
    }
}

void TRzStatusPane::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), SysColor(TSysColor::BtnFace, palette()));
    // A one-pixel frame one pixel in from the edge, its four corner pixels left out.
    const QRect frame = rect().adjusted(1, 1, -1, -1);
    painter.setPen(AdjustLuminance(SysColor(TSysColor::BtnShadow, palette()), 30));
    painter.drawLine(frame.left() + 1, frame.top(), frame.right() - 1, frame.top());
    painter.drawLine(frame.left() + 1, frame.bottom(), frame.right() - 1, frame.bottom());
    painter.drawLine(frame.left(), frame.top() + 1, frame.left(), frame.bottom() - 1);
    painter.drawLine(frame.right(), frame.top() + 1, frame.right(), frame.bottom() - 1);

    const QRect inside = frame.adjusted(1, 1, -1, -1);
    painter.setClipRect(inside);
    painter.setPen(SysColor(TSysColor::WindowText, palette()));
    const QFontMetrics metrics(font());
    const int textHeight = metrics.boundingRect(QStringLiteral("Pp")).height();
    const int top = (height() - textHeight) / 2;
    painter.drawText(QRect(kTextLeft, top, width() - kTextLeft, textHeight),
                     Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, caption_);
}

}  // namespace velmora::ui
