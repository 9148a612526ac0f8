#include "widgets/track_bar.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QCoreApplication>
#include <QImage>
#include <QRegion>
#include <QScreen>
#include <QTest>
#include <QTimerEvent>
#include <memory>
#include <vector>

#include "paint_recorder.h"
#include "widgets/percent_tick_label.h"
#include "widgets/system_colors.h"

namespace velmora {
namespace {

// The percent slider as the preview frame sets it up, at its design size.
std::unique_ptr<TRzTrackBar> PercentSlider(int width = 333, int height = 42) {
    auto bar = std::make_unique<TRzTrackBar>();
    bar->SetMax(100);
    bar->SetTickStyle(TTickStyle::tkOwnerDraw);
    bar->OnDrawTick = DrawPercentTickLabel;
    bar->resize(width, height);
    return bar;
}

// Counts OnChange calls and remembers the position each one saw.
struct ChangeLog {
    std::vector<int> seen;
    void Attach(TRzTrackBar& bar) {
        bar.OnChange = [this](TRzTrackBar* sender) { seen.push_back(sender->Position()); };
    }
};

void FireTimer(QTimer& timer) {
    QTimerEvent tick(timer.timerId());
    QCoreApplication::sendEvent(&timer, &tick);
}

void ShowAndWait(QWidget& w) {
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    QCoreApplication::processEvents();
}

TEST(TrackBar, DefaultsOfANewSlider) {
    TRzTrackBar bar;
    EXPECT_EQ(bar.Min(), 0);
    EXPECT_EQ(bar.Max(), 10);
    EXPECT_EQ(bar.Position(), 0);
    EXPECT_EQ(bar.PageSize(), 1);
    EXPECT_EQ(bar.TickStep(), 1);
    EXPECT_EQ(bar.TickStyle(), TTickStyle::tkStandard);
    EXPECT_TRUE(bar.ShowTicks());
    EXPECT_EQ(bar.Orientation(), TOrientation::orHorizontal);
    EXPECT_EQ(bar.TrackOffset(), 20);
    EXPECT_EQ(bar.TrackWidth(), 8);
    EXPECT_EQ(bar.TrackColor(), SysColor(TSysColor::Light3D));
    EXPECT_EQ(bar.TrackFrame(), TFrameStyle::fsStatus);
    EXPECT_EQ(bar.TrackFrameColor(), SysColor(TSysColor::BtnShadow));
    EXPECT_EQ(bar.HighlightColor(), SysColor(TSysColor::Highlight));
    EXPECT_EQ(bar.HotTrackColor(), SysColor(TSysColor::Highlight));
    EXPECT_EQ(bar.HotTrackColorType(), THotTrackColorType::htctComplement);
    EXPECT_TRUE(bar.ShowFocusRect());
    EXPECT_FALSE(bar.Transparent());
    EXPECT_FALSE(bar.TabOnEnter());
    EXPECT_EQ(bar.size(), QSize(200, 35));
    EXPECT_EQ(bar.focusPolicy(), Qt::StrongFocus);
    bar.SetTrackWidth(2);
    EXPECT_EQ(bar.TrackWidth(), 4);
}

TEST(TrackBar, HorizontalGeometryOfThe333PixelSlider) {
    auto bar = PercentSlider();
    EXPECT_EQ(bar->TrackRect(), QRect(QPoint(9, 20), QPoint(323, 27)));
    struct Case {
        int position;
        int thumbLeft;
    };
    for (const Case& c : {Case{0, 4}, Case{50, 161}, Case{99, 314}, Case{100, 318}}) {
        bar->SetPosition(c.position);
        EXPECT_EQ(bar->ThumbRect(), QRect(c.thumbLeft, 12, 11, 21)) << c.position;
    }
    // span 314, step 3.14: the label "50" sits on Trunc(50 × 3.14) + 4 + 5.
    EXPECT_EQ(bar->TickLocation(0), QPoint(9, 0));
    EXPECT_EQ(bar->TickLocation(50), QPoint(166, 0));
    EXPECT_EQ(bar->TickLocation(100), QPoint(323, 0));
}

TEST(TrackBar, TickPositionsTruncateTheExactProduct) {
    // 49 wide: span 30, step 0.3 is stored just below 0.3; 10 × step rounds to 3.0 in
    // double precision, but the exact product is below 3 and truncates to 2.
    auto bar = PercentSlider(49, 42);
    EXPECT_EQ(bar->TickLocation(10).x(), 2 + 4 + 5);
    EXPECT_EQ(bar->TickLocation(20).x(), 5 + 4 + 5);
}

TEST(TrackBar, VerticalGeometryFollowsTheShape) {
    auto bar = PercentSlider();
    bar->resize(42, 333);
    EXPECT_EQ(bar->Orientation(), TOrientation::orVertical);
    EXPECT_EQ(bar->TrackRect(), QRect(QPoint(20, 9), QPoint(27, 323)));
    EXPECT_EQ(bar->ThumbRect(), QRect(12, 318, 21, 11));
    bar->SetPosition(100);
    EXPECT_EQ(bar->ThumbRect(), QRect(12, 4, 21, 11));
    EXPECT_EQ(bar->TickLocation(50), QPoint(0, 333 - 11 - 157 - 4 + 5));
    bar->resize(333, 42);
    EXPECT_EQ(bar->Orientation(), TOrientation::orHorizontal);
}

// Column ranges of the ink (pixels unlike the background) in rows [top, bottom), gaps of up
// to two pixels bridged.
struct InkRun {
    int left;
    int right;  // inclusive
};

std::vector<InkRun> InkRuns(const QImage& image, int top, int bottom, QRgb background) {
    std::vector<InkRun> runs;
    bool inRun = false;
    for (int x = 0; x < image.width(); ++x) {
        bool ink = false;
        for (int y = top; y < bottom && !ink; ++y) {
            ink = image.pixel(x, y) != background;
        }
        if (ink && !inRun) {
            runs.push_back({x, x});
        } else if (ink) {
            runs.back().right = x;
        }
        // The digits of one label stand at most two pixels apart.
        inRun = ink || (inRun && x - runs.back().right <= 2);
    }
    return runs;
}

TEST(TrackBar, PaintsLabelsAtEveryTenthTickAndTheThumbWhereItBelongs) {
    auto bar = PercentSlider();
    bar->SetPosition(100);
    const QImage image = bar->grab().toImage();
    const QRgb face = SysColor(TSysColor::BtnFace).rgb();

    // Labels live in the strip above the thumb's tip (y < 12); "0" … "100" give 11 runs of
    // ink (the digits of one label are close enough to join up), each centred on its tick.
    std::vector<InkRun> runs = InkRuns(image, 1, 12, face);
    ASSERT_EQ(runs.size(), 11u);
    for (int k = 0; k <= 10; ++k) {
        const int centre = bar->TickLocation(10 * k).x();
        const int inkCentre2 = runs[k].left + runs[k].right;  // twice the ink centre
        EXPECT_NEAR(inkCentre2, 2 * centre, 3) << "label " << 10 * k;
    }
    EXPECT_NEAR(runs[5].left + runs[5].right, 2 * 166, 3);

    // The thumb at 100 covers x 318..328: its base line is the dark row 32.
    const QRgb dark = SysColor(TSysColor::DkShadow3D).rgb();
    for (int x = 318; x <= 328; ++x) {
        EXPECT_EQ(image.pixel(x, 32), dark) << x;
    }
    EXPECT_NE(image.pixel(317, 32), dark);
    EXPECT_NE(image.pixel(329, 32), dark);
    // The track's sunken frame: shadow on top, light at the bottom.
    EXPECT_EQ(image.pixel(100, 20), SysColor(TSysColor::BtnShadow).rgb());
    EXPECT_EQ(image.pixel(100, 27), SysColor(TSysColor::BtnHighlight).rgb());
    EXPECT_EQ(image.pixel(100, 24), bar->TrackColor().rgb());
}

TEST(TrackBar, OwnerDrawTicksGetEveryTickStepPositionInOrder) {
    auto bar = PercentSlider();
    bar->SetTickStep(25);
    std::vector<std::pair<int, QPoint>> calls;
    bar->OnDrawTick = [&](TRzTrackBar* sender, QPainter&, QPoint location, int index) {
        EXPECT_EQ(sender, bar.get());
        calls.emplace_back(index, location);
    };
    bar->grab();
    const std::vector<std::pair<int, QPoint>> expected = {
        {0, {9, 0}}, {25, {87, 0}}, {50, {166, 0}}, {75, {244, 0}}, {100, {323, 0}}};
    EXPECT_EQ(calls, expected);
}

TEST(TrackBar, TransparentSliderShowsItsParentAroundTheTrack) {
    for (bool transparent : {false, true}) {
        SCOPED_TRACE(transparent);
        QWidget parent;
        parent.resize(400, 60);
        QPalette pal = parent.palette();
        pal.setColor(QPalette::Window, QColor(10, 200, 30));
        parent.setPalette(pal);
        parent.setAutoFillBackground(true);
        TRzTrackBar bar(&parent);
        bar.setGeometry(2, 14, 333, 42);
        bar.SetTransparent(transparent);
        const QImage image = parent.grab().toImage();
        const QColor expected = transparent ? QColor(10, 200, 30) : SysColor(TSysColor::BtnFace);
        EXPECT_EQ(image.pixel(2 + 100, 14 + 5), expected.rgb());
        EXPECT_EQ(image.pixel(2 + 100, 14 + 24), bar.TrackColor().rgb());
    }
}

TEST(TrackBar, SettingThePosition) {
    auto bar = PercentSlider();
    ChangeLog log;
    log.Attach(*bar);
    bar->SetPosition(0);  // equal: nothing
    EXPECT_TRUE(log.seen.empty());
    bar->SetPosition(37);
    bar->SetPosition(37);
    EXPECT_EQ(log.seen, std::vector<int>{37});  // raised after the value is stored
    bar->SetPosition(150);
    EXPECT_EQ(bar->Position(), 100);
    bar->SetPosition(-5);
    EXPECT_EQ(bar->Position(), 0);

    // OnChanging sees the clamped value and can refuse it.
    std::vector<int> offered;
    bool allow = false;
    bar->OnChanging = [&](TRzTrackBar*, int newPos, bool& allowChange) {
        EXPECT_TRUE(allowChange);
        offered.push_back(newPos);
        allowChange = allow;
    };
    log.seen.clear();
    bar->SetPosition(250);
    EXPECT_EQ(bar->Position(), 0);
    EXPECT_TRUE(log.seen.empty());
    allow = true;
    bar->SetPosition(250);
    EXPECT_EQ(offered, (std::vector<int>{100, 100}));
    EXPECT_EQ(log.seen, std::vector<int>{100});
}

TEST(TrackBar, MinAndMaxKeepTheRangeAndThePositionValid) {
    TRzTrackBar bar;
    ChangeLog log;
    log.Attach(bar);
    bar.SetMax(100);
    bar.SetPosition(80);
    log.seen.clear();
    bar.SetMax(60);
    EXPECT_EQ(bar.Position(), 60);
    EXPECT_EQ(log.seen, std::vector<int>{60});
    bar.SetMin(70);  // not below Max: becomes Max - 1, and the position rises to it
    EXPECT_EQ(bar.Min(), 59);
    EXPECT_EQ(bar.Position(), 60);
    bar.SetMin(60);
    EXPECT_EQ(bar.Min(), 59);  // 60 is not below Max 60 either
    bar.SetMax(10);            // not above Min: becomes Min + 1
    EXPECT_EQ(bar.Max(), 60);
    bar.SetMin(0);
    bar.SetMax(20);
    EXPECT_EQ(bar.Position(), 20);
    bar.SetMin(30);
    EXPECT_EQ(bar.Min(), 19);
    EXPECT_EQ(bar.Position(), 20);
}

TEST(TrackBar, PositionChangeRepaintsOnlyTheThumbsOldAndNewPlaces) {
    QWidget window;
    window.resize(400, 100);
    auto* bar = new TRzTrackBar(&window);
    bar->SetMax(100);
    bar->SetTickStyle(TTickStyle::tkOwnerDraw);
    int ticksDrawn = 0;
    bar->OnDrawTick = [&](TRzTrackBar* b, QPainter& c, QPoint location, int index) {
        ++ticksDrawn;
        DrawPercentTickLabel(b, c, location, index);
    };
    bar->setGeometry(2, 14, 333, 42);
    bar->SetShowFocusRect(false);
    ShowAndWait(window);
    ASSERT_GT(ticksDrawn, 0);

    ticksDrawn = 0;
    test::PaintRecorder recorder(bar);
    const QRect oldThumb = bar->ThumbRect();
    bar->SetPosition(50);
    const QRect newThumb = bar->ThumbRect();
    QCoreApplication::processEvents();
    ASSERT_GT(recorder.count, 0);
    EXPECT_TRUE((recorder.painted - QRegion(oldThumb) - newThumb).isEmpty());
    EXPECT_EQ(ticksDrawn, 0);

    // What is on screen matches a full repaint.
    const QImage onScreen = window.screen()->grabWindow(window.winId()).toImage();
    EXPECT_EQ(onScreen.copy(2, 14, 333, 42).convertToFormat(QImage::Format_RGB32),
              bar->grab().toImage().convertToFormat(QImage::Format_RGB32));
    EXPECT_EQ(ticksDrawn, 0);
}

// The slider's part of what the window shows, and of a full fresh rendering of the window.
QImage OnScreen(QWidget& window, const QRect& area) {
    const QImage screen = window.screen()->grabWindow(window.winId()).toImage();
    return screen.copy(area).convertToFormat(QImage::Format_RGB32);
}

QImage Rendered(QWidget& window, const QRect& area) {
    return window.grab(area).toImage().convertToFormat(QImage::Format_RGB32);
}

TEST(TrackBar, TheNewThumbIsOnScreenBeforeOnChangeRuns) {
    for (bool transparent : {false, true}) {
        SCOPED_TRACE(transparent);
        QWidget window;
        window.resize(400, 100);
        auto* bar = new TRzTrackBar(&window);
        bar->SetMax(100);
        bar->SetTickStyle(TTickStyle::tkOwnerDraw);
        bar->OnDrawTick = DrawPercentTickLabel;
        bar->SetTransparent(transparent);
        bar->SetShowFocusRect(false);
        bar->setGeometry(2, 14, 333, 42);
        ShowAndWait(window);

        std::vector<QImage> seen;
        bar->OnChange = [&](TRzTrackBar*) { seen.push_back(OnScreen(window, bar->geometry())); };
        bar->SetPosition(50);
        QTest::keyClick(bar, Qt::Key_Right);
        bar->SetPosition(100);
        ASSERT_EQ(seen.size(), 3u);
        EXPECT_EQ(seen.back(), Rendered(window, bar->geometry()));
        bar->SetPosition(51);
        EXPECT_EQ(seen[1], Rendered(window, bar->geometry())) << "51 again, as in the key step";
    }
}

TEST(TrackBar, KeyboardSteps) {
    struct Case {
        const char* name;
        QSize size;
        int start;
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        int expected;
    };
    const QSize wide(333, 42);
    const QSize tall(42, 333);
    const Case cases[] = {
        {"right", wide, 50, Qt::Key_Right, {}, 51},
        {"up", wide, 50, Qt::Key_Up, {}, 51},
        {"left", wide, 50, Qt::Key_Left, {}, 49},
        {"down", wide, 50, Qt::Key_Down, {}, 49},
        {"pad plus", wide, 50, Qt::Key_Plus, Qt::KeypadModifier, 51},
        {"pad minus", wide, 50, Qt::Key_Minus, Qt::KeypadModifier, 49},
        {"main minus", wide, 50, Qt::Key_Minus, {}, 50},
        {"page up", wide, 50, Qt::Key_PageUp, {}, 51},
        {"page down", wide, 50, Qt::Key_PageDown, {}, 49},
        {"home", wide, 50, Qt::Key_Home, {}, 0},
        {"end", wide, 50, Qt::Key_End, {}, 100},
        {"right at max", wide, 100, Qt::Key_Right, {}, 100},
        {"other", wide, 50, Qt::Key_A, {}, 50},
        {"vertical up", tall, 50, Qt::Key_Up, {}, 51},
        {"vertical right", tall, 50, Qt::Key_Right, {}, 51},
        {"vertical down", tall, 50, Qt::Key_Down, {}, 49},
        {"vertical home", tall, 50, Qt::Key_Home, {}, 100},
        {"vertical end", tall, 50, Qt::Key_End, {}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto bar = PercentSlider(c.size.width(), c.size.height());
        bar->SetPosition(c.start);
        QTest::keyClick(bar.get(), c.key, c.modifiers);
        EXPECT_EQ(bar->Position(), c.expected);
    }
}

TEST(TrackBar, KeysThatCannotMoveRaiseNoChange) {
    auto bar = PercentSlider();
    ChangeLog log;
    log.Attach(*bar);
    QTest::keyClick(bar.get(), Qt::Key_Home);
    QTest::keyClick(bar.get(), Qt::Key_Left);
    EXPECT_TRUE(log.seen.empty());
    bar->SetPageSize(10);
    QTest::keyClick(bar.get(), Qt::Key_PageUp);
    EXPECT_EQ(bar->Position(), 10);
}

// Mouse helpers working in the slider's own coordinates.
void Press(TRzTrackBar& bar, QPoint p, Qt::MouseButton button = Qt::LeftButton) {
    QTest::mousePress(&bar, button, {}, p);
}
void Release(TRzTrackBar& bar, QPoint p, Qt::MouseButton button = Qt::LeftButton) {
    QTest::mouseRelease(&bar, button, {}, p);
}
void Move(TRzTrackBar& bar, QPoint p) {
    QTest::mouseMove(&bar, p);
}
// A move with no button held (QTest would move the real cursor instead).
void Hover(TRzTrackBar& bar, QPoint p) {
    QMouseEvent move(QEvent::MouseMove, p, bar.mapToGlobal(p), Qt::NoButton, Qt::NoButton, {});
    QCoreApplication::sendEvent(&bar, &move);
}

TEST(TrackBar, ClickAndHoldPagesTowardsThePointerThenFollowsIt) {
    auto bar = PercentSlider();
    ChangeLog log;
    log.Attach(*bar);
    QTimer& timer = bar->PagingTimer();
    const QPoint point(200, 24);

    Press(*bar, point);
    EXPECT_EQ(bar->Position(), 1);  // one step at once
    EXPECT_TRUE(bar->Paging());
    EXPECT_TRUE(timer.isActive());
    EXPECT_EQ(timer.interval(), 200);

    FireTimer(timer);
    EXPECT_EQ(bar->Position(), 2);  // one more after the first delay …
    EXPECT_TRUE(timer.isActive());
    EXPECT_EQ(timer.interval(), 100);  // … then every 100 ms

    // The thumb at 60 covers x 192..202, under the pointer: the next tick lands on it.
    int ticks = 1;
    while (timer.isActive() && ticks < 200) {
        FireTimer(timer);
        ++ticks;
    }
    EXPECT_EQ(ticks, 60);
    EXPECT_EQ(bar->Position(), 60);
    EXPECT_FALSE(bar->Paging());
    EXPECT_EQ(timer.interval(), 200);
    ASSERT_TRUE(bar->Dragging());
    for (int i = 0; i < 60; ++i) {
        EXPECT_EQ(log.seen[i], i + 1);
    }

    // From here the thumb follows the mouse, keeping the grip 3 pixels right of its centre.
    Move(*bar, QPoint(250, 24));
    EXPECT_EQ(bar->Position(), 76);  // (250 - 9 - 3) / 315 × 100 = 75.6
    Release(*bar, QPoint(250, 24));
    EXPECT_FALSE(bar->Dragging());
    Move(*bar, QPoint(300, 24));
    EXPECT_EQ(bar->Position(), 76);
}

TEST(TrackBar, PagingStopsWhenTheThumbPassesThePressPoint) {
    auto bar = PercentSlider();
    bar->SetPageSize(30);
    Press(*bar, QPoint(60, 24));
    EXPECT_EQ(bar->Position(), 30);  // the thumb jumps past x = 60 (it now starts at 98)
    FireTimer(bar->PagingTimer());
    EXPECT_EQ(bar->Position(), 30);
    EXPECT_FALSE(bar->Paging());
    EXPECT_FALSE(bar->PagingTimer().isActive());
    EXPECT_EQ(bar->PagingTimer().interval(), 200);
}

TEST(TrackBar, PagingDownwardsAndReleaseOfAnyButtonStopsIt) {
    auto bar = PercentSlider();
    bar->SetPosition(50);
    Press(*bar, QPoint(40, 24));
    EXPECT_EQ(bar->Position(), 49);
    FireTimer(bar->PagingTimer());
    EXPECT_EQ(bar->Position(), 48);
    Press(*bar, QPoint(40, 24), Qt::RightButton);
    Release(*bar, QPoint(40, 24), Qt::RightButton);
    EXPECT_FALSE(bar->Paging());
    EXPECT_FALSE(bar->PagingTimer().isActive());
    Release(*bar, QPoint(40, 24));
}

TEST(TrackBar, VerticalPagingDirectionHonoursMin) {
    // Range 10..20 at 15: the thumb spans y 161..171; a press above it pages up.
    TRzTrackBar bar;
    bar.resize(42, 333);
    bar.SetMax(20);
    bar.SetMin(10);
    bar.SetPosition(15);
    ASSERT_EQ(bar.ThumbRect(), QRect(12, 161, 21, 11));
    Press(bar, QPoint(24, 100));
    EXPECT_EQ(bar.Position(), 16);
    Release(bar, QPoint(24, 100));
    Press(bar, QPoint(24, 300));
    EXPECT_EQ(bar.Position(), 15);
    Release(bar, QPoint(24, 300));
}

TEST(TrackBar, DraggingRoundsHalvesToEvenAndClampsAtTheEnds) {
    // 218 wide: the track is 200 pixels long, so each pixel is half a position.
    auto bar = PercentSlider(218, 42);
    bar->SetPosition(50);
    const QPoint grip = bar->ThumbRect().center();
    ASSERT_EQ(grip, QPoint(108, 22));
    Press(*bar, grip);
    ASSERT_TRUE(bar->Dragging());
    struct Case {
        int x;
        int expected;
    };
    for (const Case& c : {Case{14, 2}, Case{15, 3}, Case{16, 4}, Case{18, 4}, Case{-80, 0},
                          Case{5000, 100}, Case{109, 50}, Case{111, 51}}) {
        Move(*bar, QPoint(c.x, 30));
        EXPECT_EQ(bar->Position(), c.expected) << c.x;
    }
    Release(*bar, QPoint(111, 30));
}

TEST(TrackBar, RightButtonReleaseDoesNotEndADrag) {
    auto bar = PercentSlider();
    Press(*bar, bar->ThumbRect().center());
    ASSERT_TRUE(bar->Dragging());
    Press(*bar, QPoint(100, 24), Qt::RightButton);
    Release(*bar, QPoint(100, 24), Qt::RightButton);
    EXPECT_TRUE(bar->Dragging());
    Move(*bar, QPoint(166 + 1, 24));
    EXPECT_EQ(bar->Position(), 50);
    Release(*bar, QPoint(167, 24));
    EXPECT_FALSE(bar->Dragging());
    EXPECT_FALSE(bar->Hot());
}

TEST(TrackBar, HotTrackingAndTheDragCursor) {
    auto bar = PercentSlider();
    bar->SetPosition(50);
    const QRgb normalBand = bar->HighlightColor().rgb();
    const QRgb hotBand = HotThumbColors(bar->HotTrackColor(), bar->HotTrackColorType()).band.rgb();
    const QPoint bandPixel = bar->ThumbRect().topLeft() + QPoint(5, 18);

    EXPECT_EQ(bar->grab().toImage().pixel(bandPixel), normalBand);
    Hover(*bar, bar->ThumbRect().center());
    EXPECT_TRUE(bar->Hot());
    EXPECT_EQ(bar->cursor().shape(), Qt::BitmapCursor);
    EXPECT_EQ(bar->grab().toImage().pixel(bandPixel), hotBand);

    Hover(*bar, QPoint(30, 5));
    EXPECT_FALSE(bar->Hot());
    EXPECT_EQ(bar->cursor().shape(), Qt::ArrowCursor);

    Hover(*bar, bar->ThumbRect().center());
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(bar.get(), &leave);
    EXPECT_FALSE(bar->Hot());

    bar->setEnabled(false);
    EXPECT_EQ(bar->grab().toImage().pixel(bandPixel), SysColor(TSysColor::BtnShadow).rgb());
}

TEST(TrackBar, AnyButtonTakesTheFocusAndTheFocusRectFollowsIt) {
    QWidget window;
    window.resize(400, 100);
    auto* bar = new TRzTrackBar(&window);
    bar->setGeometry(2, 14, 333, 42);
    auto* other = new QWidget(&window);
    other->setFocusPolicy(Qt::StrongFocus);
    ShowAndWait(window);
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    other->setFocus();
    ASSERT_FALSE(bar->hasFocus());
    const QRgb text = SysColor(TSysColor::WindowText).rgb();
    EXPECT_NE(bar->grab().toImage().pixel(0, 0), text);
    EXPECT_NE(bar->grab().toImage().pixel(2, 0), text);

    Press(*bar, QPoint(5, 5), Qt::RightButton);
    Release(*bar, QPoint(5, 5), Qt::RightButton);
    EXPECT_TRUE(bar->hasFocus());
    const QImage focused = bar->grab().toImage();
    EXPECT_EQ(focused.pixel(0, 0), text);
    EXPECT_NE(focused.pixel(1, 0), text);  // dotted
    EXPECT_EQ(focused.pixel(2, 0), text);
    EXPECT_EQ(focused.pixel(0, 2), text);
    EXPECT_EQ(focused.pixel(331, 41), text);

    other->setFocus();
    EXPECT_NE(bar->grab().toImage().pixel(0, 0), text);
}

}  // namespace
}  // namespace velmora
