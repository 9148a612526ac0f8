// The About dialog: layout, the banner, the link and how it is closed.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTest>

#include "core/jpeg_image.h"
#include "dialog_driving.h"
#include "support/jpeg_fixture.h"
#include "ui/BannerImage.h"
#include "ui/U_About.h"
#include "widgets/bitmap_view.h"

namespace velmora::test {
namespace {

using ui::F_About;
using ui::TF_About;

class AboutDialog : public ::testing::Test {
  protected:
    AboutDialog() { dialog.show(); }
    ~AboutDialog() override { delete F_About.data(); }

    TF_About& dialog = *(F_About = new TF_About());
    DesktopOpenRecorder desktop;
};

TEST_F(AboutDialog, WindowAndControls) {
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("关于"));
    EXPECT_EQ(dialog.size(), QSize(484, 285));
    EXPECT_EQ(dialog.minimumSize(), dialog.maximumSize());
    const Qt::WindowFlags flags = dialog.windowFlags();
    EXPECT_TRUE(flags.testFlag(Qt::WindowCloseButtonHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowMaximizeButtonHint));
    EXPECT_EQ(dialog.font().family(), QStringLiteral("宋体"));
    EXPECT_EQ(dialog.font().pixelSize(), 12);

    ExpectControls(dialog, {
                               {dialog.Panel1, {0, 0, 484, 70}, QString()},
                               {dialog.Image1, {0, 0, 484, 70}, QString()},
                               {dialog.Bevel1, {0, 70, 484, 2}, QString()},
                               {dialog.Panel2, {0, 74, 484, 116}, QString()},
                               {dialog.memo, {21, 84, 443, 94}, QString()},
                               {dialog.Label1, {36, 210, 0, 0}, QStringLiteral("CorvaneVelmora")},
                               {dialog.Label2, {36, 234, 0, 0}, QStringLiteral("ver:1.1")},
                               {dialog.Label3, {36, 258, 0, 0}, dialog.Label3->text()},
                               {dialog.Label8, {214, 257, 0, 0}, QStringLiteral("主页:")},
                               {dialog.Label9, {250, 256, 0, 0}, ui::kHomePage},
                           });
    EXPECT_FALSE(dialog.Label3->text().isEmpty());
    // The rights-holder line and the home page share a row.
    EXPECT_LE(dialog.Label3->geometry().right(), dialog.Label8->geometry().left());
    EXPECT_LE(dialog.Label8->geometry().right(), dialog.Label9->geometry().left());
    EXPECT_LE(dialog.Label9->geometry().right(), dialog.width());

    EXPECT_EQ(dialog.Label9->font().pixelSize(), 12);
    EXPECT_FALSE(dialog.memo->toPlainText().isEmpty());
    EXPECT_EQ(dialog.memo->frameShape(), QFrame::NoFrame);
}

bool Blue(QRgb pixel) {
    return qBlue(pixel) > qRed(pixel) + 80 && qBlue(pixel) > qGreen(pixel) + 80;
}

// The link is drawn blue, and its underline is there: a row of blue nearly as wide as the text.
TEST_F(AboutDialog, LinkIsDrawnBlueAndUnderlined) {
    const QImage shown = dialog.Label9->grab().toImage();
    int blue = 0;
    int darkNotBlue = 0;
    int widestBlueRow = 0;
    for (int y = 0; y < shown.height(); ++y) {
        int row = 0;
        for (int x = 0; x < shown.width(); ++x) {
            const QRgb pixel = shown.pixel(x, y);
            row += Blue(pixel) ? 1 : 0;
            darkNotBlue += !Blue(pixel) && qGray(pixel) < 100 ? 1 : 0;
        }
        blue += row;
        widestBlueRow = std::max(widestBlueRow, row);
    }
    EXPECT_GT(blue, 0);
    EXPECT_EQ(darkNotBlue, 0);
    EXPECT_GE(widestBlueRow, shown.width() * 9 / 10);
}

// Both panels are disabled: the banner and the notice take neither focus nor input, and no
// control of the dialog can be focused.
TEST_F(AboutDialog, NothingTakesTheFocusAndEscDoesNothing) {
    EXPECT_FALSE(dialog.Panel1->isEnabled());
    EXPECT_FALSE(dialog.Panel2->isEnabled());
    EXPECT_FALSE(dialog.memo->isEnabled());
    for (QWidget* child : dialog.findChildren<QWidget*>()) {
        EXPECT_FALSE(child->isEnabled() && child->focusPolicy() != Qt::NoFocus)
            << child->metaObject()->className();
    }
    Activate(dialog);
    QTest::keyClick(&dialog, Qt::Key_Escape);
    EXPECT_TRUE(dialog.isVisible());
}

TEST_F(AboutDialog, BannerIsABaselineJpegDrawnStretchedOverThePanel) {
    QFile file(QStringLiteral(":/about/banner.jpg"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    const JpegFacts facts = ReadFacts(std::vector<uint8_t>(bytes.begin(), bytes.end()));
    EXPECT_EQ(facts.width, 468);
    EXPECT_EQ(facts.height, 70);
    EXPECT_TRUE(facts.baseline);
    EXPECT_EQ(facts.components, 3);

    TJPEGImage banner;
    banner.LoadPictureBytes(std::vector<uint8_t>(bytes.begin(), bytes.end()));
    const QImage pixels = BitmapView(banner.Pixels()).convertToFormat(QImage::Format_RGB32);
    const QImage shown = dialog.Image1->grab().toImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(shown.size(), QSize(484, 70));
    // Each shown column comes from the banner column at the same share of the width.
    for (int x : {0, 100, 241, 400, 483}) {
        for (int y : {0, 35, 69}) {
            const int source = x * 468 / 484;
            const QRgb got = shown.pixel(x, y);
            EXPECT_TRUE(got == pixels.pixel(source, y) ||
                        got == pixels.pixel(std::min(source + 1, 467), y))
                << x << "," << y;
        }
    }
}

TEST_F(AboutDialog, LinkShowsTheHandOverItAndOpensTheHomePageOnEachClick) {
    const QPoint inside = dialog.Label9->rect().center();
    const QPoint background(10, 200);
    QTest::mouseMove(&dialog, background);
    EXPECT_EQ(dialog.cursor().shape(), Qt::ArrowCursor);
    QTest::mouseMove(&dialog, dialog.Label9->geometry().center());
    EXPECT_EQ(dialog.cursor().shape(), Qt::PointingHandCursor);
    EXPECT_FALSE(dialog.Label9->testAttribute(Qt::WA_SetCursor));
    QTest::mouseMove(&dialog, background);
    EXPECT_EQ(dialog.cursor().shape(), Qt::ArrowCursor);

    QTest::mouseClick(dialog.Label9, Qt::LeftButton, {}, inside);
    QTest::mouseClick(dialog.Label9, Qt::RightButton, {}, inside);
    QTest::mouseClick(dialog.Label9, Qt::LeftButton, {}, inside);
    EXPECT_EQ(desktop.urls, (std::vector<QUrl>{QUrl(ui::kHomePage), QUrl(ui::kHomePage)}));
    EXPECT_TRUE(dialog.isVisible());

    // A double click comes as a click, then a double-click press and its release: the page
    // is asked for once.
    desktop.urls.clear();
    QTest::mouseClick(dialog.Label9, Qt::LeftButton, {}, inside);
    QMouseEvent secondPress(QEvent::MouseButtonDblClick, QPointF(inside),
                            QPointF(dialog.Label9->mapToGlobal(inside)), Qt::LeftButton,
                            Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(dialog.Label9, &secondPress);
    QTest::mouseRelease(dialog.Label9, Qt::LeftButton, {}, inside);
    EXPECT_EQ(desktop.urls, std::vector<QUrl>{QUrl(ui::kHomePage)});
    // A press that ends outside the link opens nothing.
    QTest::mousePress(dialog.Label9, Qt::LeftButton, {}, inside);
    QTest::mouseRelease(dialog.Label9, Qt::LeftButton, {}, QPoint(-5, inside.y()));
    EXPECT_EQ(desktop.urls.size(), 1u);
}

}  // namespace
}  // namespace velmora::test
