// TRzTrackBar: the percent slider. A horizontal (or, when taller than wide, vertical) track
// with a pointer-shaped thumb, owner-drawn ticks, keyboard steps, click-and-hold paging with
// auto-repeat, thumb dragging and hot-tracking. A position change repaints only the thumb's
// old and new places, from a cache of the background, track and ticks.
#pragma once

#include <QColor>
#include <QCursor>
#include <QImage>
#include <QPixmap>
#include <QPoint>
#include <QRect>
#include <QTimer>
#include <QWidget>
#include <atomic>
#include <cstdint>
#include <functional>

#include "widgets/thumb_images.h"

class QPainter;

namespace velmora {

enum class TTickStyle { tkStandard, tkOwnerDraw };
enum class TOrientation { orHorizontal, orVertical };
enum class TFrameStyle { fsNone, fsFlat, fsStatus };

class TRzTrackBar : public QWidget {
    Q_OBJECT

  public:
    using TNotifyEvent = std::function<void(TRzTrackBar* sender)>;
    using TPositionChangingEvent =
        std::function<void(TRzTrackBar* sender, int newPos, bool& allowChange)>;
    using TDrawTickEvent =
        std::function<void(TRzTrackBar* trackBar, QPainter& canvas, QPoint location, int index)>;

    // The gap between each end of the control and the thumb's extreme places.
    static constexpr int kMargin = 4;
    static constexpr int kPagingFirstDelayMs = 200;  // auto-repeat: first delay, then interval
    static constexpr int kPagingRepeatMs = 100;

    explicit TRzTrackBar(QWidget* parent = nullptr);

    int Min() const { return min_; }
    // Keeps Min below Max (Min becomes Max - 1) and raises Position to Min when below it.
    void SetMin(int value);
    int Max() const { return max_; }
    // Keeps Max above Min (Max becomes Min + 1) and lowers Position to Max when above it.
    void SetMax(int value);
    // Readable from any thread: the batch worker reads it while a modal dialog keeps the
    // user from moving the slider.
    int Position() const { return position_.load(std::memory_order_relaxed); }
    // The one way every change goes: equal value does nothing; the value is clamped into
    // [Min, Max], offered to OnChanging, stored, the thumb repainted and OnChange raised.
    void SetPosition(int value);

    uint16_t PageSize() const { return pageSize_; }
    void SetPageSize(uint16_t value) { pageSize_ = value; }
    int TickStep() const { return tickStep_; }
    // Values below 1 are taken as 1.
    void SetTickStep(int value);
    TTickStyle TickStyle() const { return tickStyle_; }
    void SetTickStyle(TTickStyle value);
    bool ShowTicks() const { return showTicks_; }
    void SetShowTicks(bool value);
    // Follows the shape on every resize: vertical when taller than wide.
    TOrientation Orientation() const;
    void SetOrientation(TOrientation value);
    uint16_t TrackOffset() const { return trackOffset_; }
    void SetTrackOffset(uint16_t value);
    uint16_t TrackWidth() const { return trackWidth_; }
    // Never below 4.
    void SetTrackWidth(uint16_t value);
    QColor TrackColor() const { return trackColor_; }
    void SetTrackColor(QColor value);
    TFrameStyle TrackFrame() const { return trackFrame_; }
    void SetTrackFrame(TFrameStyle value);
    // Used by the flat frame style only.
    QColor TrackFrameColor() const { return trackFrameColor_; }
    void SetTrackFrameColor(QColor value);
    QColor HighlightColor() const { return highlightColor_; }
    void SetHighlightColor(QColor value);
    QColor HotTrackColor() const { return hotTrackColor_; }
    void SetHotTrackColor(QColor value);
    THotTrackColorType HotTrackColorType() const { return hotTrackColorType_; }
    void SetHotTrackColorType(THotTrackColorType value);
    bool ShowFocusRect() const { return showFocusRect_; }
    void SetShowFocusRect(bool value);
    // On: the parent's background shows through around the track, ticks and thumb.
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool value);
    // On: Enter moves the focus to the next control.
    bool TabOnEnter() const { return tabOnEnter_; }
    void SetTabOnEnter(bool value) { tabOnEnter_ = value; }

    // Geometry for the current size, orientation and position (right and bottom exclusive).
    QRect TrackRect() const;
    QRect ThumbRect() const;
    // Where tick `index` is reported to OnDrawTick: horizontally (centre line, 0),
    // vertically (0, centre line).
    QPoint TickLocation(int index) const;

    bool Hot() const { return hot_; }
    bool Dragging() const { return dragging_; }
    bool Paging() const { return paging_; }
    // The auto-repeat timer; reachable so that its ticks can be driven without waiting.
    QTimer& PagingTimer() { return pagingTimer_; }

    QSize sizeHint() const override { return QSize(200, 35); }

    TNotifyEvent OnChange;
    TPositionChangingEvent OnChanging;
    TDrawTickEvent OnDrawTick;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

  private:
    bool Vertical() const { return Orientation() == TOrientation::orVertical; }
    // Applies the shape rule once per new size. Qt holds back resize events of hidden
    // widgets (a slider on a tab page not shown yet), so geometry and painting check too.
    void FollowShape() const;
    // Length of the track the thumb travels along, and the pixels per position.
    int Span() const;
    double Step() const;
    // Pixel offset of a position along the track, as the thumb and the ticks use it.
    int ThumbOffset(int position) const;
    int TickOffset(int index) const;
    QRect ThumbRectAt(int position) const;

    // Paints the thumb's old and new places at once when the cache can serve them.
    void DrawThumbMove(const QRect& oldThumb);
    bool CacheValid() const;
    void Invalidate();
    void EnsureCache();
    void PaintFocusRect(QPainter& painter) const;
    void PaintTrack(QPainter& painter) const;
    void PaintTicks(QPainter& painter);
    const QImage& ThumbImage() const;

    void HandleLeftPress(QPoint point);
    bool PagingUpAt(QPoint point) const;
    void OnPagingTimer();
    void StopPaging();
    void DragTo(QPoint point);
    void UpdateHot(QPoint point);

    int min_ = 0;
    int max_ = 10;
    std::atomic<int> position_{0};
    uint16_t pageSize_ = 1;
    int tickStep_ = 1;
    TTickStyle tickStyle_ = TTickStyle::tkStandard;
    bool showTicks_ = true;
    mutable TOrientation orientation_ = TOrientation::orHorizontal;
    mutable QSize shapeSeen_;
    uint16_t trackOffset_ = 20;
    uint16_t trackWidth_ = 8;
    QColor trackColor_;
    TFrameStyle trackFrame_ = TFrameStyle::fsStatus;
    QColor trackFrameColor_;
    QColor highlightColor_;
    QColor hotTrackColor_;
    THotTrackColorType hotTrackColorType_ = THotTrackColorType::htctComplement;
    bool showFocusRect_ = true;
    bool transparent_ = false;
    bool tabOnEnter_ = false;

    bool dragging_ = false;
    QPoint dragOffset_;
    bool leftDown_ = false;
    bool paging_ = false;
    bool pagingUp_ = false;
    QPoint pagingPoint_;
    bool hot_ = false;
    QTimer pagingTimer_;

    QPixmap cache_;
    mutable bool cacheDirty_ = true;
    TThumbImages thumbImages_;
    QCursor horizontalDragCursor_;
    QCursor verticalDragCursor_;
    bool showingDragCursor_ = false;
};

}  // namespace velmora
