#include "widgets/drag_cursor.h"

#include <QPainter>
#include <QPixmap>
#include <QPolygon>

namespace velmora {
namespace {

constexpr int kCursorSize = 32;

QPolygon ArrowPointer() {
    return QPolygon({QPoint(0, 0), QPoint(0, 16), QPoint(4, 12), QPoint(7, 19), QPoint(9, 18),
                     QPoint(6, 11), QPoint(11, 11)});
}

// Two arrowheads 5 pixels long around the point (cx, cy), pointing apart along one axis.
QPolygon LeftHead(int cx, int cy) {
    return QPolygon({QPoint(cx - 7, cy), QPoint(cx - 2, cy - 5), QPoint(cx - 2, cy + 5)});
}
QPolygon RightHead(int cx, int cy) {
    return QPolygon({QPoint(cx + 7, cy), QPoint(cx + 2, cy - 5), QPoint(cx + 2, cy + 5)});
}
QPolygon UpHead(int cx, int cy) {
    return QPolygon({QPoint(cx, cy - 7), QPoint(cx - 5, cy - 2), QPoint(cx + 5, cy - 2)});
}
QPolygon DownHead(int cx, int cy) {
    return QPolygon({QPoint(cx, cy + 7), QPoint(cx - 5, cy + 2), QPoint(cx + 5, cy + 2)});
}

}  // namespace

QCursor MakeThumbDragCursor(bool vertical) {
    QPixmap pixmap(kCursorSize, kCursorSize);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setPen(Qt::white);
    painter.setBrush(Qt::black);
    painter.drawPolygon(ArrowPointer());
    const int cx = 21;
    const int cy = 23;
    if (vertical) {
        painter.drawPolygon(UpHead(cx, cy));
        painter.drawPolygon(DownHead(cx, cy));
    } else {
        painter.drawPolygon(LeftHead(cx, cy));
        painter.drawPolygon(RightHead(cx, cy));
    }
    painter.end();
    return QCursor(pixmap, 0, 0);
}

}  // namespace velmora
