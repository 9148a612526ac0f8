#include "widgets/U_PicScrollBox.h"

#include <QEvent>
#include <QMetaObject>
#include <algorithm>

namespace velmora {

// ---- TBoxScrollBar ----------------------------------------------------------------------

TBoxScrollBar::TBoxScrollBar(Qt::Orientation orientation, QWidget* parent)
    : QScrollBar(orientation, parent) {
    connect(this, &QAbstractSlider::actionTriggered, this, [this] { Count(); });
    connect(this, &QAbstractSlider::sliderMoved, this, [this] { Count(); });
}

void TBoxScrollBar::Count() {
    ++pending_;
    if (depth_ == 0) {
        // An action triggered from outside the bar's own input handling: the value is
        // applied after this signal returns, so report from the event loop.
        QMetaObject::invokeMethod(
            this, [this] { Flush(); }, Qt::QueuedConnection);
    }
}

bool TBoxScrollBar::event(QEvent* event) {
    ++depth_;
    const bool handled = QScrollBar::event(event);
    --depth_;
    if (event->type() == QEvent::MouseButtonRelease) {
        ++pending_;  // end of scrolling
    }
    if (depth_ == 0) {
        Flush();
    }
    return handled;
}

void TBoxScrollBar::Flush() {
    const int messages = std::exchange(pending_, 0);
    for (int i = 0; i < messages && OnScrollMessage; ++i) {
        OnScrollMessage();
    }
}

// ---- TPicScrollBox ----------------------------------------------------------------------

TPicScrollBox::TPicScrollBox(QWidget* parent)
    : QAbstractScrollArea(parent), cxImage(new TcxImage(nullptr)) {
    setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
    setFocusPolicy(Qt::NoFocus);
    // The box shows its parent's face colour around the picture.
    viewport()->setBackgroundRole(QPalette::Window);

    auto* horizontal = new TBoxScrollBar(Qt::Horizontal, this);
    auto* vertical = new TBoxScrollBar(Qt::Vertical, this);
    horizontal->OnScrollMessage = [this] {
        if (OnHScroll) {
            OnHScroll(this);
        }
    };
    vertical->OnScrollMessage = [this] {
        if (OnVScroll) {
            OnVScroll(this);
        }
    };
    setHorizontalScrollBar(horizontal);
    setVerticalScrollBar(vertical);
    for (QScrollBar* bar : {horizontalScrollBar(), verticalScrollBar()}) {
        bar->setTracking(false);
        bar->setSingleStep(kLineStep);
    }

    cxImage->setParent(viewport());
    cxImage->installEventFilter(this);
    connect(cxImage, &TcxImage::layoutChanged, this, [this] { Relayout(); });
    cxImage->SetAutoSize(true);
    cxImage->Properties().SetMenuItems({});
    cxImage->setEnabled(false);
    cxImage->show();
    Relayout();
}

int TPicScrollBox::HorzPosition() const {
    return horizontalScrollBar()->value();
}
int TPicScrollBox::VertPosition() const {
    return verticalScrollBar()->value();
}

void TPicScrollBox::SetHorzPosition(int value) {
    QScrollBar* bar = horizontalScrollBar();
    bar->setValue(std::clamp(value, bar->minimum(), bar->maximum()));
}

void TPicScrollBox::SetVertPosition(int value) {
    QScrollBar* bar = verticalScrollBar();
    bar->setValue(std::clamp(value, bar->minimum(), bar->maximum()));
}

QSize TPicScrollBox::Range() const {
    if (cxImage->Align() == TAlign::alClient || cxImage->isHidden()) {
        return QSize(0, 0);
    }
    // Scroll position plus the view's offset plus its extent.
    const QRect g = cxImage->geometry();
    return QSize(std::max(0, HorzPosition() + g.x() + g.width()),
                 std::max(0, VertPosition() + g.y() + g.height()));
}

void TPicScrollBox::Relayout() {
    if (relayingOut_) {
        return;
    }
    relayingOut_ = true;
    PlaceView();
    UpdateScrollBars();
    PlaceView();
    relayingOut_ = false;
}

void TPicScrollBox::UpdateScrollBars() {
    const QSize content = Range();
    const QSize whole = maximumViewportSize();
    // Without any scroll bar everything fits: use the whole inside. Otherwise the viewport
    // as the bars leave it; Qt shows or hides the bars and resizes the viewport, which
    // brings us back here with the final size.
    const QSize visible = whole.expandedTo(content) == whole ? whole : viewport()->size();
    QScrollBar* h = horizontalScrollBar();
    QScrollBar* v = verticalScrollBar();
    h->setRange(0, std::max(0, content.width() - visible.width()));
    h->setPageStep(visible.width());
    v->setRange(0, std::max(0, content.height() - visible.height()));
    v->setPageStep(visible.height());
}

void TPicScrollBox::PlaceView() {
    if (cxImage->Align() == TAlign::alClient) {
        cxImage->setGeometry(viewport()->rect());
    } else {
        cxImage->move(-HorzPosition(), -VertPosition());
    }
}

void TPicScrollBox::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    Relayout();
}

void TPicScrollBox::scrollContentsBy(int, int) {
    PlaceView();
}

bool TPicScrollBox::eventFilter(QObject* watched, QEvent* event) {
    if (watched == cxImage && (event->type() == QEvent::Resize || event->type() == QEvent::Show ||
                               event->type() == QEvent::Hide)) {
        Relayout();
    }
    return QAbstractScrollArea::eventFilter(watched, event);
}

}  // namespace velmora
