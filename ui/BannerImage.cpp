#include "BannerImage.h"

#include <QFile>
#include <QPainter>

#include "widgets/bitmap_view.h"
#include "widgets/paint_errors.h"

namespace velmora::ui {

TBannerImage::TBannerImage(QWidget* parent) : QWidget(parent) {}

void TBannerImage::LoadResource(const QString& name) {
    QFile file(name);
    file.open(QIODevice::ReadOnly);
    const QByteArray bytes = file.readAll();
    picture_.LoadPictureBytes(std::vector<uint8_t>(bytes.begin(), bytes.end()));
    update();
}

void TBannerImage::paintEvent(QPaintEvent*) {
    if (picture_.Empty()) {
        return;
    }
    const TBitmap* pixels = PixelsToPaint(picture_);
    if (!pixels) {
        return;
    }
    QPainter painter(this);
    painter.drawImage(rect(), BitmapView(*pixels));
}

}  // namespace velmora::ui
