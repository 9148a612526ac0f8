#include "widgets/picture_view.h"

#include <QPaintEvent>
#include <QPainter>
#include <QRegion>

#include "widgets/bitmap_view.h"
#include "widgets/paint_errors.h"
#include "widgets/picture_placement.h"
#include "widgets/system_colors.h"

namespace velmora {

void TcxImageProperties::SetStretch(bool value) {
    stretch_ = value;
    changed_();
}

void TcxImageProperties::SetCenter(bool value) {
    center_ = value;
    changed_();
}

void TcxImageProperties::SetMenuItems(TcxImageMenuItems items) {
    popupMenuLayout_.MenuItems = items;
    changed_();
}

TcxImage::TcxImage(QWidget* parent)
    : QWidget(parent), properties_([this] {
          UpdateContextMenuPolicy();
          update();
      }) {
    // A picture view never takes the focus.
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_OpaquePaintEvent, true);
    picture_.OnChange = [this] { PictureChanged(); };
    UpdateContextMenuPolicy();
}

void TcxImage::SetAutoSize(bool value) {
    autoSize_ = value;
    ApplyAutoSize();
}

void TcxImage::SetAlign(TAlign value) {
    if (value == align_) {
        return;
    }
    align_ = value;
    ApplyAutoSize();
    emit layoutChanged();
}

void TcxImage::ApplyAutoSize() {
    if (autoSize_ && align_ == TAlign::alNone) {
        resize(picture_.Width() + 2, picture_.Height() + 2);
        emit layoutChanged();
    }
}

void TcxImage::PictureChanged() {
    ApplyAutoSize();
    update();
}

void TcxImage::UpdateContextMenuPolicy() {
    // Without items the view has no menu of its own and the click goes on to the parent.
    const bool hasItems = properties_.PopupMenuLayout().MenuItems != TcxImageMenuItems();
    setContextMenuPolicy(hasItems ? Qt::DefaultContextMenu : Qt::NoContextMenu);
}

QRect TcxImage::InnerRect() const {
    return rect().adjusted(1, 1, -1, -1);
}

QRect TcxImage::PictureRect() const {
    const QRect inner = InnerRect();
    if (picture_.Empty() || inner.isEmpty()) {
        return QRect();
    }
    const QSize size(picture_.Width(), picture_.Height());
    return PlacePicture(inner.size(), size, properties_.Stretch(), properties_.Center())
        .translated(inner.topLeft());
}

const TBitmap* TcxImage::PixelsForDrawing() {
    TGraphic* graphic = picture_.Graphic();
    if (!graphic || graphic->Empty()) {
        return nullptr;
    }
    return PixelsToPaint(*graphic);
}

void TcxImage::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    const QPalette& pal = palette();
    const QColor frame = SysColor(isEnabled() ? TSysColor::DkShadow3D : TSysColor::BtnShadow, pal);
    const QColor background =
        isEnabled() ? pal.color(QPalette::Base) : SysColor(TSysColor::BtnFace, pal);

    const QRect inner = InnerRect();
    painter.fillRect(rect(), frame);
    if (inner.isEmpty()) {
        return;
    }
    painter.setClipRect(inner);
    const TBitmap* pixels = PixelsForDrawing();
    const QRect target = PictureRect();
    const QImage image = pixels ? BitmapView(*pixels) : QImage();
    if (image.isNull() || target.isEmpty()) {
        painter.fillRect(inner, background);
        return;
    }
    for (const QRect& part : QRegion(inner) - target) {
        painter.fillRect(part, background);
    }
    if (target.size() == image.size()) {
        // Only the part being repainted, so a large picture is not converted whole.
        const QRect visible = target & inner & event->rect();
        painter.drawImage(visible.topLeft(), image, visible.translated(-target.topLeft()));
        return;
    }
    // No smooth transform: a scaled picture repeats or drops rows and columns.
    painter.drawImage(target, image);
}

void TcxImage::changeEvent(QEvent* event) {
    if (event->type() == QEvent::EnabledChange) {
        update();
    }
    QWidget::changeEvent(event);
}

}  // namespace velmora
