#include "CommandImages.h"

#include <QPainter>
#include <QPainterPath>

namespace velmora::ui {

namespace {

constexpr int kSize = 16;

void DrawPicture(QPainter& p) {
    p.setPen(QColor(0x40, 0x40, 0x40));
    p.setBrush(QColor(0xF4, 0xF0, 0xE0));
    p.drawRect(QRectF(1.5, 2.5, 13, 11));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x9C, 0xD3, 0xF5));
    p.drawRect(QRectF(3, 4, 10, 8));
    p.setBrush(QColor(0xF6, 0xC2, 0x2B));
    p.drawEllipse(QPointF(10.5, 6.5), 1.6, 1.6);
    QPainterPath hills;
    hills.moveTo(3, 12);
    hills.lineTo(6.5, 7.5);
    hills.lineTo(9, 10);
    hills.lineTo(10.5, 8.5);
    hills.lineTo(13, 12);
    hills.closeSubpath();
    p.setBrush(QColor(0x3C, 0x9A, 0x3C));
    p.drawPath(hills);
}

void DrawTools(QPainter& p) {
    // A screwdriver and a wrench crossing.
    p.setPen(QPen(QColor(0x70, 0x70, 0x78), 2.2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(3.5, 3.5), QPointF(10, 10));
    p.setPen(QPen(QColor(0xD0, 0x30, 0x20), 3.2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(10.5, 10.5), QPointF(13.5, 13.5));
    p.setPen(QPen(QColor(0x50, 0x58, 0x68), 2.4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(12.5, 3.5), QPointF(4, 12));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x50, 0x58, 0x68));
    p.drawEllipse(QPointF(12, 4), 2.8, 2.8);
    p.drawEllipse(QPointF(3.8, 12.2), 2.2, 2.2);
    p.setCompositionMode(QPainter::CompositionMode_Clear);
    p.drawEllipse(QPointF(13.4, 2.6), 1.5, 1.5);
}

void DrawSeal(QPainter& p) {
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x2F, 0x5F, 0xC8));
    QPolygonF left({{4.5, 8}, {7.5, 9}, {6.5, 15.5}, {5, 13.5}, {3, 14.5}});
    QPolygonF right({{11.5, 8}, {8.5, 9}, {9.5, 15.5}, {11, 13.5}, {13, 14.5}});
    p.drawPolygon(left);
    p.drawPolygon(right);
    p.setBrush(QColor(0xE8, 0xB0, 0x20));
    p.setPen(QPen(QColor(0xA0, 0x70, 0x10), 1));
    p.drawEllipse(QPointF(8, 6.5), 5.2, 5.2);
    p.setPen(QPen(QColor(0xFF, 0xE8, 0x90), 1));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(8, 6.5), 3, 3);
}

}  // namespace

QPixmap CommandPixmap(CommandImage image) {
    QPixmap pixmap(kSize, kSize);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    switch (image) {
        case CommandImage::Picture:
            DrawPicture(painter);
            break;
        case CommandImage::Tools:
            DrawTools(painter);
            break;
        case CommandImage::Seal:
            DrawSeal(painter);
            break;
    }
    return pixmap;
}

QIcon CommandIcon(CommandImage image) {
    const QPixmap pixmap = CommandPixmap(image);
    QIcon icon;
    for (QIcon::Mode mode : {QIcon::Normal, QIcon::Active, QIcon::Selected, QIcon::Disabled}) {
        icon.addPixmap(pixmap, mode);
    }
    return icon;
}

}  // namespace velmora::ui
