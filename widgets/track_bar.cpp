#include "widgets/track_bar.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPolygon>
#include <QRegion>
#include <algorithm>
#include <cmath>

#include "widgets/drag_cursor.h"
#include "widgets/system_colors.h"

namespace velmora {
namespace {

constexpr int kLength = kThumbLength;
constexpr int kThickness = kThumbThickness;
constexpr int kHalf = kLength / 2;
// Length of a standard (line) tick.
constexpr int kLineTickLength = 3;

QRect RectFromEdges(int left, int top, int right, int bottom) {
    return QRect(left, top, right - left, bottom - top);
}

QPoint Centre(const QRect& r) {
    return QPoint(r.left() + r.width() / 2, r.top() + r.height() / 2);
}

}  // namespace

TRzTrackBar::TRzTrackBar(QWidget* parent)
    : QWidget(parent),
      trackColor_(SysColor(TSysColor::Light3D)),
      trackFrameColor_(SysColor(TSysColor::BtnShadow)),
      highlightColor_(SysColor(TSysColor::Highlight)),
      hotTrackColor_(SysColor(TSysColor::Highlight)),
      horizontalDragCursor_(MakeThumbDragCursor(false)),
      verticalDragCursor_(MakeThumbDragCursor(true)) {
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent, true);
    pagingTimer_.setInterval(kPagingFirstDelayMs);
    connect(&pagingTimer_, &QTimer::timeout, this, [this] { OnPagingTimer(); });
    resize(sizeHint());
}

// ---- properties -------------------------------------------------------------------------

void TRzTrackBar::SetMin(int value) {
    if (value == min_) {
        return;
    }
    min_ = value;
    if (min_ >= max_) {
        min_ = max_ - 1;
    }
    if (min_ > Position()) {
        SetPosition(min_);
    }
    Invalidate();
}

void TRzTrackBar::SetMax(int value) {
    if (value == max_) {
        return;
    }
    max_ = value;
    if (min_ >= max_) {
        max_ = min_ + 1;
    }
    if (max_ < Position()) {
        SetPosition(max_);
    }
    Invalidate();
}

void TRzTrackBar::SetPosition(int value) {
    if (value == Position()) {
        return;
    }
    value = std::clamp(value, min_, max_);
    if (OnChanging) {
        bool allowChange = true;
        OnChanging(this, value, allowChange);
        if (!allowChange) {
            return;
        }
    }
    const QRect oldThumb = ThumbRect();
    position_.store(value, std::memory_order_relaxed);
    DrawThumbMove(oldThumb);
    if (OnChange) {
        OnChange(this);
    }
}

void TRzTrackBar::SetTickStep(int value) {
    tickStep_ = std::max(value, 1);
    Invalidate();
}

void TRzTrackBar::SetTickStyle(TTickStyle value) {
    tickStyle_ = value;
    Invalidate();
}

void TRzTrackBar::SetShowTicks(bool value) {
    showTicks_ = value;
    Invalidate();
}

TOrientation TRzTrackBar::Orientation() const {
    FollowShape();
    return orientation_;
}

void TRzTrackBar::FollowShape() const {
    if (size() == shapeSeen_) {
        return;
    }
    shapeSeen_ = size();
    orientation_ = height() > width() ? TOrientation::orVertical : TOrientation::orHorizontal;
    cacheDirty_ = true;
}

void TRzTrackBar::SetOrientation(TOrientation value) {
    FollowShape();
    orientation_ = value;
    Invalidate();
}

void TRzTrackBar::SetTrackOffset(uint16_t value) {
    trackOffset_ = value;
    Invalidate();
}

void TRzTrackBar::SetTrackWidth(uint16_t value) {
    trackWidth_ = std::max<uint16_t>(value, 4);
    Invalidate();
}

void TRzTrackBar::SetTrackColor(QColor value) {
    trackColor_ = value;
    Invalidate();
}

void TRzTrackBar::SetTrackFrame(TFrameStyle value) {
    trackFrame_ = value;
    Invalidate();
}

void TRzTrackBar::SetTrackFrameColor(QColor value) {
    trackFrameColor_ = value;
    Invalidate();
}

void TRzTrackBar::SetHighlightColor(QColor value) {
    highlightColor_ = value;
    Invalidate();
}

void TRzTrackBar::SetHotTrackColor(QColor value) {
    hotTrackColor_ = value;
    Invalidate();
}

void TRzTrackBar::SetHotTrackColorType(THotTrackColorType value) {
    hotTrackColorType_ = value;
    Invalidate();
}

void TRzTrackBar::SetShowFocusRect(bool value) {
    showFocusRect_ = value;
    Invalidate();
}

void TRzTrackBar::SetTransparent(bool value) {
    transparent_ = value;
    // Opaque: the slider paints every pixel itself. Transparent: Qt paints the parent under
    // the slider first and the cache, transparent outside the track and ticks, goes on top.
    setAttribute(Qt::WA_OpaquePaintEvent, !value);
    Invalidate();
}

// ---- geometry ---------------------------------------------------------------------------

int TRzTrackBar::Span() const {
    const int extent = Vertical() ? height() : width();
    return extent - kLength - 2 * kMargin;
}

double TRzTrackBar::Step() const {
    return static_cast<double>(Span()) / (max_ - min_);
}

int TRzTrackBar::ThumbOffset(int position) const {
    const int64_t moved = static_cast<int64_t>(Span()) * (position - min_) / (max_ - min_);
    return kMargin + static_cast<int>(moved);
}

int TRzTrackBar::TickOffset(int index) const {
    // The product is formed in extended precision before truncation; a double product can
    // round up to the next integer where the exact one lies just below it.
    const long double product =
        static_cast<long double>(index - min_) * static_cast<long double>(Step());
    return static_cast<int>(product);
}

QRect TRzTrackBar::TrackRect() const {
    if (Vertical()) {
        return RectFromEdges(trackOffset_, kHalf + kMargin, trackOffset_ + trackWidth_,
                             height() - kMargin - kHalf);
    }
    return RectFromEdges(kHalf + kMargin, trackOffset_, width() - kMargin - kHalf,
                         trackOffset_ + trackWidth_);
}

QRect TRzTrackBar::ThumbRectAt(int position) const {
    // Lifted 2 pixels towards the tip; C++ division truncates towards zero as required.
    const int across = (trackWidth_ - kThickness) / 2 + trackOffset_ - 2;
    if (Vertical()) {
        const int bottom = height() - ThumbOffset(position);
        return RectFromEdges(across, bottom - kLength, across + kThickness, bottom);
    }
    const int left = ThumbOffset(position);
    return RectFromEdges(left, across, left + kLength, across + kThickness);
}

QRect TRzTrackBar::ThumbRect() const {
    return ThumbRectAt(Position());
}

QPoint TRzTrackBar::TickLocation(int index) const {
    if (Vertical()) {
        const int y = height() - kLength - TickOffset(index) - kMargin;
        return QPoint(0, y + kHalf);
    }
    return QPoint(TickOffset(index) + kMargin + kHalf, 0);
}

// ---- painting ---------------------------------------------------------------------------

// OnChange may run for as long as a preview takes; the thumb is on screen at its new place
// before that, so it keeps up with a held key or a drag. Without a valid cache a whole
// repaint is due anyway.
void TRzTrackBar::DrawThumbMove(const QRect& oldThumb) {
    const QRegion places = QRegion(oldThumb) + ThumbRect();
    if (CacheValid()) {
        repaint(places);
    } else {
        update(places);
    }
}

bool TRzTrackBar::CacheValid() const {
    FollowShape();
    return !cacheDirty_ && cache_.size() == size();
}

void TRzTrackBar::Invalidate() {
    cacheDirty_ = true;
    update();
}

void TRzTrackBar::paintEvent(QPaintEvent* event) {
    EnsureCache();
    QPainter painter(this);
    painter.drawPixmap(0, 0, cache_);
    const QRect thumb = ThumbRect();
    if (event->region().intersects(thumb)) {
        painter.drawImage(thumb.topLeft(), ThumbImage());
    }
}

void TRzTrackBar::EnsureCache() {
    if (CacheValid()) {
        return;
    }
    cache_ = QPixmap(size());
    cache_.fill(transparent_ ? QColor(Qt::transparent) : SysColor(TSysColor::BtnFace, palette()));
    QPainter painter(&cache_);
    if (hasFocus() && showFocusRect_) {
        PaintFocusRect(painter);
    }
    PaintTrack(painter);
    if (showTicks_) {
        PaintTicks(painter);
    }
    painter.end();

    const QPalette& pal = palette();
    thumbImages_ = MakeThumbImages(
        NormalThumbColors(highlightColor_), HotThumbColors(hotTrackColor_, hotTrackColorType_),
        DisabledThumbColors(SysColor(TSysColor::BtnShadow, pal)), Vertical());
    cacheDirty_ = false;
}

void TRzTrackBar::PaintFocusRect(QPainter& painter) const {
    // Every other pixel of the outline, on the even (x + y) checkerboard squares.
    const int r = width() - 1;
    const int b = height() - 1;
    QPolygon dots;
    auto dot = [&dots](int x, int y) {
        if ((x + y) % 2 == 0) {
            dots << QPoint(x, y);
        }
    };
    for (int x = 0; x <= r; ++x) {
        dot(x, 0);
        dot(x, b);
    }
    for (int y = 1; y < b; ++y) {
        dot(0, y);
        dot(r, y);
    }
    painter.setPen(SysColor(TSysColor::WindowText, palette()));
    painter.drawPoints(dots);
}

void TRzTrackBar::PaintTrack(QPainter& painter) const {
    const QPalette& pal = palette();
    const QRect track = TrackRect();
    painter.fillRect(track, isEnabled() ? trackColor_ : SysColor(TSysColor::BtnFace, pal));
    const int l = track.left();
    const int t = track.top();
    const int r = track.left() + track.width() - 1;
    const int b = track.top() + track.height() - 1;
    switch (trackFrame_) {
        case TFrameStyle::fsNone:
            break;
        case TFrameStyle::fsFlat:
            painter.setPen(trackFrameColor_);
            painter.setBrush(Qt::NoBrush);
            painter.drawRect(RectFromEdges(l, t, r, b));
            break;
        case TFrameStyle::fsStatus: {
            // Top and left first, so the top-right and bottom-left corners end up lit.
            const QColor shadow = SysColor(TSysColor::BtnShadow, pal);
            const QColor light = SysColor(TSysColor::BtnHighlight, pal);
            painter.fillRect(RectFromEdges(l, t, r + 1, t + 1), shadow);
            painter.fillRect(RectFromEdges(l, t, l + 1, b + 1), shadow);
            painter.fillRect(RectFromEdges(l, b, r + 1, b + 1), light);
            painter.fillRect(RectFromEdges(r, t, r + 1, b + 1), light);
            break;
        }
    }
}

void TRzTrackBar::PaintTicks(QPainter& painter) {
    const QColor text = SysColor(TSysColor::WindowText, palette());
    const QRect thumb = ThumbRectAt(min_);
    for (int i = min_; i <= max_; ++i) {
        if (i % tickStep_ != 0) {
            continue;
        }
        const QPoint location = TickLocation(i);
        if (tickStyle_ == TTickStyle::tkOwnerDraw) {
            if (OnDrawTick) {
                painter.save();
                painter.setFont(font());
                painter.setPen(text);
                painter.setBrush(Qt::NoBrush);
                OnDrawTick(this, painter, location, i);
                painter.restore();
            }
        } else if (Vertical()) {
            // Line ticks sit on the side the pointer's tip faces.
            painter.fillRect(thumb.left() - kLineTickLength - 1, location.y(), kLineTickLength, 1,
                             text);
        } else {
            painter.fillRect(location.x(), thumb.top() - kLineTickLength - 1, 1, kLineTickLength,
                             text);
        }
    }
}

const QImage& TRzTrackBar::ThumbImage() const {
    if (!isEnabled()) {
        return thumbImages_.disabled;
    }
    return hot_ ? thumbImages_.hot : thumbImages_.normal;
}

void TRzTrackBar::resizeEvent(QResizeEvent* event) {
    FollowShape();
    QWidget::resizeEvent(event);
}

void TRzTrackBar::changeEvent(QEvent* event) {
    switch (event->type()) {
        case QEvent::EnabledChange:
        case QEvent::PaletteChange:
        case QEvent::FontChange:
            Invalidate();
            break;
        default:
            break;
    }
    QWidget::changeEvent(event);
}

void TRzTrackBar::focusInEvent(QFocusEvent* event) {
    Invalidate();
    QWidget::focusInEvent(event);
}

void TRzTrackBar::focusOutEvent(QFocusEvent* event) {
    Invalidate();
    QWidget::focusOutEvent(event);
}

// ---- keyboard ---------------------------------------------------------------------------

void TRzTrackBar::keyPressEvent(QKeyEvent* event) {
    const int position = Position();
    const bool keypad = event->modifiers() & Qt::KeypadModifier;
    // One step, but never past the ends (a clamped move would still raise the events).
    const int down = position > min_ ? position - 1 : position;
    const int up = position < max_ ? position + 1 : position;
    int next = position;
    switch (event->key()) {
        case Qt::Key_PageUp:
            next = position + pageSize_;
            break;
        case Qt::Key_PageDown:
            next = position - pageSize_;
            break;
        case Qt::Key_End:
            next = Vertical() ? min_ : max_;
            break;
        case Qt::Key_Home:
            next = Vertical() ? max_ : min_;
            break;
        case Qt::Key_Left:
        case Qt::Key_Down:
            next = down;
            break;
        case Qt::Key_Right:
        case Qt::Key_Up:
            next = up;
            break;
        case Qt::Key_Minus:
        case Qt::Key_Plus:
            if (!keypad) {
                QWidget::keyPressEvent(event);
                return;
            }
            next = event->key() == Qt::Key_Minus ? down : up;
            break;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (tabOnEnter_) {
                focusNextChild();
                return;
            }
            QWidget::keyPressEvent(event);
            return;
        default:
            QWidget::keyPressEvent(event);
            return;
    }
    SetPosition(next);
}

// ---- mouse ------------------------------------------------------------------------------

void TRzTrackBar::mousePressEvent(QMouseEvent* event) {
    setFocus(Qt::MouseFocusReason);
    if (event->button() == Qt::LeftButton) {
        leftDown_ = true;
        HandleLeftPress(event->position().toPoint());
    }
}

void TRzTrackBar::HandleLeftPress(QPoint point) {
    const QRect thumb = ThumbRect();
    if (thumb.contains(point)) {
        if (paging_) {
            StopPaging();
        }
        dragging_ = true;
        dragOffset_ = point - Centre(thumb);
        return;
    }
    if (!TrackRect().contains(point)) {
        return;
    }
    pagingTimer_.start();
    pagingPoint_ = point;
    const bool up = PagingUpAt(point);
    if (!paging_) {
        paging_ = true;
        pagingUp_ = up;
    }
    if (up != pagingUp_) {
        // The thumb has passed the press point.
        StopPaging();
        return;
    }
    SetPosition(up ? Position() + pageSize_ : Position() - pageSize_);
}

bool TRzTrackBar::PagingUpAt(QPoint point) const {
    if (Vertical()) {
        // Above the thumb's top edge, which lies (Max - Position) steps below the margin.
        const long double top = static_cast<long double>(max_ - Position()) * Step();
        return point.y() < static_cast<int>(top) + kMargin;
    }
    return point.x() >= TickOffset(Position()) + kMargin;
}

void TRzTrackBar::OnPagingTimer() {
    pagingTimer_.setInterval(kPagingRepeatMs);
    if (!leftDown_) {
        return;
    }
    try {
        setFocus(Qt::MouseFocusReason);
        HandleLeftPress(pagingPoint_);
    } catch (...) {
        StopPaging();
        throw;
    }
}

void TRzTrackBar::StopPaging() {
    pagingTimer_.stop();
    pagingTimer_.setInterval(kPagingFirstDelayMs);
    paging_ = false;
}

void TRzTrackBar::mouseMoveEvent(QMouseEvent* event) {
    const QPoint point = event->position().toPoint();
    if (dragging_) {
        DragTo(point);
        return;
    }
    UpdateHot(point);
}

void TRzTrackBar::DragTo(QPoint point) {
    const QRect track = TrackRect();
    long double fraction;
    if (Vertical()) {
        const int bottom = track.top() + track.height();
        fraction = static_cast<long double>(bottom - point.y() + dragOffset_.y()) / track.height();
    } else {
        fraction =
            static_cast<long double>(point.x() - track.left() - dragOffset_.x()) / track.width();
    }
    // nearbyint rounds halves to even in the default rounding mode.
    const long double value = std::nearbyint(fraction * (max_ - min_) + min_);
    SetPosition(static_cast<int>(std::clamp<long double>(value, min_, max_)));
}

void TRzTrackBar::UpdateHot(QPoint point) {
    const bool overThumb = ThumbRect().contains(point);
    if (overThumb != hot_) {
        hot_ = overThumb;
        update(ThumbRect());
    }
    if (overThumb != showingDragCursor_) {
        showingDragCursor_ = overThumb;
        if (overThumb) {
            setCursor(Vertical() ? verticalDragCursor_ : horizontalDragCursor_);
        } else {
            unsetCursor();
        }
    }
}

void TRzTrackBar::mouseReleaseEvent(QMouseEvent* event) {
    StopPaging();
    if (event->button() != Qt::LeftButton) {
        return;
    }
    leftDown_ = false;
    if (dragging_) {
        dragging_ = false;
        hot_ = false;
        update(ThumbRect());
    }
}

void TRzTrackBar::leaveEvent(QEvent* event) {
    if (!dragging_ && hot_) {
        hot_ = false;
        update(ThumbRect());
    }
    QWidget::leaveEvent(event);
}

}  // namespace velmora
