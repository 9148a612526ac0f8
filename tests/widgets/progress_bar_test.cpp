#include "widgets/progress_bar.h"

#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QTest>

#include "paint_recorder.h"
#include "widgets/song_font.h"
#include "widgets/system_colors.h"

namespace velmora {
namespace {

// The bar as the compression dialog shows it: 449 × 17, button-face background, the dialog's
// 12-pixel "宋体" (unsmoothed here so that every text pixel has exactly the text colour).
class DialogBar : public ::testing::Test {
  protected:
    DialogBar() {
        bar.resize(449, 17);
        bar.SetBackColor(SysColor(TSysColor::BtnFace));
        QFont font(kSongFamily);
        font.setPixelSize(12);
        font.setStyleStrategy(QFont::NoAntialias);
        bar.setFont(font);
    }

    QImage Image(uint16_t percent) {
        bar.SetPercent(percent);
        return bar.Render().toImage();
    }

    TRzProgressBar bar;
};

TEST(ProgressBarFill, RoundsHalvesToEven) {
    struct Case {
        uint16_t percent;
        int filled;
    };
    for (const Case& c : {Case{0, 0}, Case{30, 134}, Case{33, 147}, Case{50, 222}, Case{51, 227},
                          Case{99, 441}, Case{100, 445}, Case{120, 445}, Case{65535, 445}}) {
        EXPECT_EQ(TRzProgressBar::FilledWidth(445, c.percent), c.filled) << c.percent;
    }
}

TEST_F(DialogBar, SunkenEdgeWithItsCornerRule) {
    EXPECT_EQ(bar.InteriorRect(), QRect(QPoint(2, 2), QPoint(446, 14)));
    const QImage image = Image(0);
    const QRgb shadow = SysColor(TSysColor::BtnShadow).rgb();
    const QRgb light = SysColor(TSysColor::BtnHighlight).rgb();
    const QRgb dark = SysColor(TSysColor::DkShadow3D).rgb();
    const QRgb light3d = SysColor(TSysColor::Light3D).rgb();
    struct Case {
        int x, y;
        QRgb colour;
    };
    const Case cases[] = {
        {0, 0, shadow},   {200, 0, shadow},   {0, 8, shadow},     {448, 0, light},
        {0, 16, light},   {448, 16, light},   {448, 8, light},    {200, 16, light},
        {1, 1, dark},     {200, 1, dark},     {1, 8, dark},       {447, 1, light3d},
        {1, 15, light3d}, {447, 15, light3d}, {200, 15, light3d}, {447, 8, light3d},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(image.pixel(c.x, c.y), c.colour) << c.x << "," << c.y;
    }
}

TEST_F(DialogBar, FilledPartEndsWhereTheRoundedShareSays) {
    const QRgb barColour = bar.BarColor().rgb();
    const QRgb back = bar.BackColor().rgb();
    struct Case {
        uint16_t percent;
        int filled;
    };
    // Boundaries clear of the centred text.
    for (const Case& c : {Case{30, 134}, Case{33, 147}}) {
        SCOPED_TRACE(c.percent);
        const QImage image = Image(c.percent);
        for (int y = 2; y < 15; ++y) {
            EXPECT_EQ(image.pixel(2, y), barColour);
            EXPECT_EQ(image.pixel(2 + c.filled - 1, y), barColour);
            EXPECT_EQ(image.pixel(2 + c.filled, y), back);
            EXPECT_EQ(image.pixel(446, y), back);
        }
    }
}

// Pixels of the interior that are neither of the two fill colours' background at that x.
struct TextInk {
    QRect bounds;
    bool allIn = true;  // every ink pixel has the expected colour for its side
};

TextInk FindText(const QImage& image, const QRect& interior, int filledRight, QRgb barColour,
                 QRgb back) {
    TextInk ink;
    for (int y = interior.top(); y <= interior.bottom(); ++y) {
        for (int x = interior.left(); x <= interior.right(); ++x) {
            const bool overBar = x < filledRight;
            const QRgb fill = overBar ? barColour : back;
            const QRgb text = overBar ? back : barColour;
            const QRgb p = image.pixel(x, y);
            if (p == fill) {
                continue;
            }
            ink.bounds |= QRect(x, y, 1, 1);
            ink.allIn = ink.allIn && p == text;
        }
    }
    return ink;
}

TEST_F(DialogBar, TextIsCentredAndSwapsColourWhereTheBarEnds) {
    const QRgb barColour = bar.BarColor().rgb();
    const QRgb back = bar.BackColor().rgb();
    const QFontMetrics metrics(bar.font());
    for (uint16_t percent : {0, 50, 100, 120}) {
        SCOPED_TRACE(percent);
        const QImage image = Image(percent);
        const int filledRight = 2 + TRzProgressBar::FilledWidth(445, percent);
        const TextInk ink = FindText(image, bar.InteriorRect(), filledRight, barColour, back);
        ASSERT_FALSE(ink.bounds.isEmpty());
        EXPECT_TRUE(ink.allIn);
        // Centred on x = 447 div 2 = 223, inside the interior.
        EXPECT_NEAR(ink.bounds.left() + ink.bounds.right(), 2 * 223, 4);
        EXPECT_GE(ink.bounds.top(), 2);
        EXPECT_LE(ink.bounds.bottom(), 14);
    }
    // 50 %: the text straddles the end of the bar, so both colours show.
    const QImage half = Image(50);
    bool sawBackOnBar = false;
    bool sawBarOnBack = false;
    for (int y = 2; y < 15; ++y) {
        for (int x = 200; x < 250; ++x) {
            sawBackOnBar = sawBackOnBar || (x < 224 && half.pixel(x, y) == back);
            sawBarOnBack = sawBarOnBack || (x >= 224 && half.pixel(x, y) == barColour);
        }
    }
    EXPECT_TRUE(sawBackOnBar);
    EXPECT_TRUE(sawBarOnBack);
}

TEST_F(DialogBar, ShowsTheValueBeyondAHundred) {
    // The bar is full and the text reads "120%", drawn where a plain centred text would be.
    const QImage image = Image(120);
    QImage expected(449, 17, image.format());
    expected.fill(Qt::black);
    QPainter painter(&expected);
    painter.fillRect(QRect(2, 2, 445, 13), bar.BarColor());
    painter.setFont(bar.font());
    painter.setPen(bar.BackColor());
    const QFontMetrics metrics(bar.font());
    const QString text = QStringLiteral("120%");
    const int h = metrics.boundingRect(QStringLiteral("X")).height();
    painter.drawText(223 - metrics.horizontalAdvance(text) / 2, 2 + (13 - h) / 2 + metrics.ascent(),
                     text);
    painter.end();
    EXPECT_EQ(image.copy(2, 2, 445, 13), expected.copy(2, 2, 445, 13));

    bar.SetShowPercent(false);
    const QImage plain = bar.Render().toImage();
    for (int x = 2; x < 447; ++x) {
        EXPECT_EQ(plain.pixel(x, 8), bar.BarColor().rgb());
    }
}

TEST(ProgressBar, DefaultsOfANewBar) {
    TRzProgressBar bar;
    EXPECT_EQ(bar.Percent(), 0);
    EXPECT_TRUE(bar.ShowPercent());
    EXPECT_EQ(bar.BackColor(), QColor(Qt::white));
    EXPECT_EQ(bar.BarColor(), SysColor(TSysColor::Highlight));
    EXPECT_EQ(bar.BorderColor(), SysColor(TSysColor::BtnFace));
    EXPECT_EQ(bar.size(), QSize(200, 24));
}

TEST(ProgressBar, NewValuePaintsBeforeTheSetterReturnsAndAnEqualOneNotAtAll) {
    QWidget window;
    window.resize(500, 40);
    auto* bar = new TRzProgressBar(&window);
    bar->setGeometry(10, 10, 449, 17);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QCoreApplication::processEvents();

    test::PaintRecorder recorder(bar);
    bar->SetPercent(40);
    EXPECT_EQ(recorder.count, 1);  // no event processing in between
    bar->SetPercent(40);
    QCoreApplication::processEvents();
    EXPECT_EQ(recorder.count, 1);
}

}  // namespace
}  // namespace velmora
