#include "widgets/percent_tick_label.h"

#include <QFontMetrics>
#include <QPainter>

#include "widgets/song_font.h"

namespace velmora {

void DrawPercentTickLabel(TRzTrackBar*, QPainter& canvas, QPoint location, int index) {
    if (index % 10 != 0) {
        return;
    }
    canvas.setBrush(Qt::NoBrush);
    canvas.setFont(SongFont(9));
    const QString text = QString::number(index);
    const QFontMetrics metrics(canvas.font());
    const int left = location.x() - metrics.horizontalAdvance(text) / 2;
    canvas.drawText(left, 1 + metrics.ascent(), text);
}

}  // namespace velmora
