// TPicScrollBox: the picture pane. A scroll box with a sunken border holding one picture
// view, `cxImage`, whose scroll bars appear when the view reaches beyond the visible area.
// Arrow clicks scroll by 8 pixels and page clicks by the visible extent; a dragged scroll
// thumb moves the view only when it is released. After every scroll-bar message the box
// raises OnHScroll or OnVScroll; setting a position from code raises nothing.
#pragma once

#include <QAbstractScrollArea>
#include <QScrollBar>
#include <functional>

#include "widgets/picture_view.h"

namespace velmora {

// A scroll bar that reports each of its scroll messages once the box has acted on it:
// every action (arrow, page, wheel, keyboard, thumb position), every thumb move while it is
// dragged, and the end of scrolling when a mouse button is released.
class TBoxScrollBar : public QScrollBar {
    Q_OBJECT

  public:
    TBoxScrollBar(Qt::Orientation orientation, QWidget* parent);

    std::function<void()> OnScrollMessage;

  protected:
    bool event(QEvent* event) override;

  private:
    void Count();
    void Flush();

    int depth_ = 0;
    int pending_ = 0;
};

class TPicScrollBox : public QAbstractScrollArea {
    Q_OBJECT

  public:
    using TNotifyEvent = std::function<void(TPicScrollBox* sender)>;

    static constexpr int kLineStep = 8;

    // Creates the picture view with AutoSize on, no context-menu items and disabled, at the
    // box's top-left corner (Stretch off, Center on).
    explicit TPicScrollBox(QWidget* parent = nullptr);

    TcxImage* const cxImage;

    int HorzPosition() const;
    int VertPosition() const;
    // Clamped into 0 .. range - visible extent; moves the view; raises no scroll event.
    void SetHorzPosition(int value);
    void SetVertPosition(int value);
    // The extent of the content: the far edge of the view unless it is docked to fill.
    QSize Range() const;

    TNotifyEvent OnHScroll;
    TNotifyEvent OnVScroll;

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void Relayout();
    void UpdateScrollBars();
    void PlaceView();

    bool relayingOut_ = false;
};

}  // namespace velmora
