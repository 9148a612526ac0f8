#include "GroupBox.h"

#include <QHBoxLayout>
#include <QPainter>

#include "widgets/system_colors.h"

namespace velmora::ui {

namespace {

constexpr int kCaptionLeft = 8;
constexpr int kCaptionPadding = 2;

}  // namespace

TGroupBox::TGroupBox(const QString& caption, QWidget* parent)
    : QWidget(parent), caption_(caption), layout_(new QHBoxLayout(this)) {
    layout_->setContentsMargins(2, 14, 2, 2);
    layout_->setSpacing(0);
}

void TGroupBox::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QFontMetrics metrics(font());
    const int frameTop = metrics.height() / 2;
    const QRect frame(0, frameTop, width() - 2, height() - frameTop - 2);
    painter.setPen(SysColor(TSysColor::BtnHighlight, palette()));
    painter.drawRect(frame.translated(1, 1));
    painter.setPen(SysColor(TSysColor::BtnShadow, palette()));
    painter.drawRect(frame);

    const int captionWidth = metrics.horizontalAdvance(caption_) + 2 * kCaptionPadding;
    const QRect captionRect(kCaptionLeft - kCaptionPadding, 0, captionWidth, metrics.height());
    painter.fillRect(captionRect, SysColor(TSysColor::BtnFace, palette()));
    painter.setPen(SysColor(TSysColor::WindowText, palette()));
    painter.drawText(captionRect, Qt::AlignCenter | Qt::TextSingleLine, caption_);
}

}  // namespace velmora::ui
