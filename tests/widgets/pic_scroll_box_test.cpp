#include "support/scroll_bar_parts.h"
#include "widgets/U_PicScrollBox.h"

#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QStyle>
#include <QTest>
#include <memory>
#include <vector>

namespace velmora {
namespace {

using test::PartCentre;

// A pane in a window, showing a picture larger than itself, that logs its scroll events
// with the positions it had when each was raised.
class ScrollBoxTest : public ::testing::Test {
  protected:
    ScrollBoxTest() {
        window.resize(300, 250);
        box = new TPicScrollBox(&window);
        box->setGeometry(0, 0, 200, 150);
        box->cxImage->Picture().Assign(TBitmap(500, 400));
        box->OnHScroll = [this](TPicScrollBox* sender) {
            EXPECT_EQ(sender, box);
            horizontal.push_back(box->HorzPosition());
            horizontalViewX.push_back(box->cxImage->x());
        };
        box->OnVScroll = [this](TPicScrollBox*) { vertical.push_back(box->VertPosition()); };
        window.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
        QCoreApplication::processEvents();
    }

    QWidget window;
    TPicScrollBox* box;
    std::vector<int> horizontal;
    std::vector<int> horizontalViewX;
    std::vector<int> vertical;
};

TEST(PicScrollBox, ConstructsItsViewAsAPane) {
    TPicScrollBox box;
    TcxImage* view = box.cxImage;
    EXPECT_EQ(view->parentWidget(), box.viewport());
    EXPECT_TRUE(view->AutoSize());
    EXPECT_FALSE(view->isEnabled());
    EXPECT_EQ(view->Properties().PopupMenuLayout().MenuItems, TcxImageMenuItems());
    EXPECT_EQ(view->contextMenuPolicy(), Qt::NoContextMenu);
    EXPECT_FALSE(view->Properties().Stretch());
    EXPECT_TRUE(view->Properties().Center());
    EXPECT_EQ(view->pos(), QPoint(0, 0));
    EXPECT_EQ(box.frameShadow(), QFrame::Sunken);
    EXPECT_EQ(box.focusPolicy(), Qt::NoFocus);
}

TEST_F(ScrollBoxTest, RangesFollowTheViewAndSteps) {
    EXPECT_EQ(box->cxImage->size(), QSize(502, 402));
    EXPECT_EQ(box->Range(), QSize(502, 402));
    QScrollBar* h = box->horizontalScrollBar();
    QScrollBar* v = box->verticalScrollBar();
    ASSERT_TRUE(h->isVisible());
    ASSERT_TRUE(v->isVisible());
    const QSize visible = box->viewport()->size();
    EXPECT_EQ(h->maximum(), 502 - visible.width());
    EXPECT_EQ(v->maximum(), 402 - visible.height());
    EXPECT_EQ(h->pageStep(), visible.width());
    EXPECT_EQ(v->pageStep(), visible.height());
    EXPECT_EQ(h->singleStep(), 8);
    EXPECT_FALSE(h->hasTracking());
}

TEST_F(ScrollBoxTest, ArrowClickScrollsEightPixelsThenRaisesTheEvent) {
    QScrollBar* h = box->horizontalScrollBar();
    QTest::mouseClick(h, Qt::LeftButton, {}, PartCentre(h, QStyle::SC_ScrollBarAddLine));
    EXPECT_EQ(box->HorzPosition(), 8);
    EXPECT_EQ(box->cxImage->x(), -8);
    // The arrow's line step and the end of scrolling: each sees the box already scrolled.
    ASSERT_EQ(horizontal.size(), 2u);
    EXPECT_EQ(horizontal, (std::vector<int>{8, 8}));
    EXPECT_EQ(horizontalViewX, (std::vector<int>{-8, -8}));
    EXPECT_TRUE(vertical.empty());

    QScrollBar* v = box->verticalScrollBar();
    QTest::mouseClick(v, Qt::LeftButton, {}, PartCentre(v, QStyle::SC_ScrollBarAddPage));
    EXPECT_EQ(box->VertPosition(), v->pageStep());
    EXPECT_EQ(vertical.front(), v->pageStep());
}

TEST_F(ScrollBoxTest, DraggedThumbMovesTheViewOnlyOnRelease) {
    QScrollBar* v = box->verticalScrollBar();
    const QPoint grip = PartCentre(v, QStyle::SC_ScrollBarSlider);
    QTest::mousePress(v, Qt::LeftButton, {}, grip);
    QTest::mouseMove(v, grip + QPoint(0, 20));
    QTest::mouseMove(v, grip + QPoint(0, 40));
    EXPECT_EQ(box->VertPosition(), 0);
    EXPECT_EQ(box->cxImage->y(), 0);
    // Thumb tracking is reported although it moves nothing.
    ASSERT_GE(vertical.size(), 2u);
    EXPECT_EQ(vertical.back(), 0);

    vertical.clear();
    QTest::mouseRelease(v, Qt::LeftButton, {}, grip + QPoint(0, 40));
    const int released = box->VertPosition();
    EXPECT_GT(released, 0);
    EXPECT_EQ(box->cxImage->y(), -released);
    ASSERT_FALSE(vertical.empty());
    EXPECT_EQ(vertical.back(), released);
}

TEST_F(ScrollBoxTest, PositionsSetFromCodeClampAndRaiseNothing) {
    box->SetHorzPosition(100000);
    EXPECT_EQ(box->HorzPosition(), box->horizontalScrollBar()->maximum());
    EXPECT_EQ(box->cxImage->x(), -box->HorzPosition());
    box->SetVertPosition(-5);
    EXPECT_EQ(box->VertPosition(), 0);
    box->SetVertPosition(30);
    EXPECT_EQ(box->cxImage->y(), -30);
    QCoreApplication::processEvents();
    EXPECT_TRUE(horizontal.empty());
    EXPECT_TRUE(vertical.empty());
}

TEST_F(ScrollBoxTest, NewPictureKeepsThePositionClampedIntoTheNewRange) {
    box->SetHorzPosition(120);
    box->cxImage->Picture().Assign(TBitmap(600, 400));
    QCoreApplication::processEvents();
    EXPECT_EQ(box->HorzPosition(), 120);
    box->cxImage->Picture().Assign(TBitmap(250, 400));
    QCoreApplication::processEvents();
    EXPECT_EQ(box->HorzPosition(), box->horizontalScrollBar()->maximum());
    EXPECT_LT(box->HorzPosition(), 120);
    EXPECT_EQ(box->cxImage->x(), -box->HorzPosition());
    EXPECT_TRUE(horizontal.empty());
}

TEST_F(ScrollBoxTest, FilledViewAddsNoRangeAndActualSizeBringsTheBarsBack) {
    box->SetHorzPosition(50);
    box->SetVertPosition(60);
    // Thumbnail: AutoSize off, docked to fill, stretched.
    TcxImage* view = box->cxImage;
    view->SetAutoSize(false);
    view->SetAlign(TAlign::alClient);
    view->Properties().SetStretch(true);
    QCoreApplication::processEvents();
    EXPECT_EQ(box->Range(), QSize(0, 0));
    EXPECT_EQ(box->HorzPosition(), 0);
    EXPECT_EQ(box->VertPosition(), 0);
    EXPECT_FALSE(box->horizontalScrollBar()->isVisible());
    EXPECT_FALSE(box->verticalScrollBar()->isVisible());
    EXPECT_EQ(view->geometry(), box->viewport()->rect());
    // The box is 200 × 150 with a 2-pixel sunken edge: the view's inner area is 194 × 144,
    // where 500 × 400 is fitted to 180 × 144 and centred.
    ASSERT_EQ(view->size(), QSize(196, 146));
    EXPECT_EQ(view->PictureRect(), QRect(8, 1, 180, 144));

    // Actual size: AutoSize on, then docking none.
    view->SetAutoSize(true);
    view->SetAlign(TAlign::alNone);
    QCoreApplication::processEvents();
    EXPECT_EQ(view->geometry(), QRect(0, 0, 502, 402));
    EXPECT_TRUE(box->horizontalScrollBar()->isVisible());
    EXPECT_EQ(box->Range(), QSize(502, 402));
}

TEST_F(ScrollBoxTest, TwoPanesScrollTogetherThroughTheirEvents) {
    auto* other = new TPicScrollBox(&window);
    other->setGeometry(0, 160, 120, 80);
    other->cxImage->Picture().Assign(TBitmap(300, 100));
    other->show();
    QCoreApplication::processEvents();
    // The frame's synchronisation: copy the scrolled pane's position to the other pane.
    box->OnHScroll = [&](TPicScrollBox*) { other->SetHorzPosition(box->HorzPosition()); };
    other->OnHScroll = [&](TPicScrollBox*) { box->SetHorzPosition(other->HorzPosition()); };

    QScrollBar* h = box->horizontalScrollBar();
    QTest::mouseClick(h, Qt::LeftButton, {}, PartCentre(h, QStyle::SC_ScrollBarAddLine));
    EXPECT_EQ(box->HorzPosition(), 8);
    EXPECT_EQ(other->HorzPosition(), 8);

    // Scrolled to its far right, the wider pane takes the narrower one only to its own end.
    QTest::mouseClick(h, Qt::LeftButton, {}, PartCentre(h, QStyle::SC_ScrollBarAddPage));
    QTest::mouseClick(h, Qt::LeftButton, {}, PartCentre(h, QStyle::SC_ScrollBarAddPage));
    QTest::mouseClick(h, Qt::LeftButton, {}, PartCentre(h, QStyle::SC_ScrollBarAddPage));
    EXPECT_EQ(box->HorzPosition(), h->maximum());
    EXPECT_EQ(other->HorzPosition(), other->horizontalScrollBar()->maximum());
    EXPECT_LT(other->HorzPosition(), box->HorzPosition());
}

}  // namespace
}  // namespace velmora
