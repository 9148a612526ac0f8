#include "widgets/picture_view.h"

#include <gtest/gtest.h>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QFontInfo>
#include <QImage>
#include <QTest>
#include <memory>
#include <string>
#include <vector>

#include "core/jpeg_image.h"
#include "support/jpeg_fixture.h"
#include "widgets/bitmap_view.h"
#include "widgets/paint_errors.h"
#include "widgets/picture_placement.h"
#include "widgets/song_font.h"
#include "widgets/system_colors.h"

namespace velmora {
namespace {

// A 24-bit bitmap whose columns alternate between red and blue.
TBitmap StripedBitmap(int width, int height) {
    TBitmap bitmap(width, height);
    for (int y = 0; y < height; ++y) {
        uint8_t* row = bitmap.ScanLine(y);
        for (int x = 0; x < width; ++x) {
            const bool red = x % 2 == 0;
            row[3 * x + 0] = red ? 0 : 255;  // blue
            row[3 * x + 1] = 0;
            row[3 * x + 2] = red ? 255 : 0;
        }
    }
    return bitmap;
}

TEST(PicturePlacement, FitsCentresAndClipsAsTheRulesSay) {
    struct Case {
        const char* name;
        QSize area;
        QSize picture;
        bool stretch;
        bool center;
        QRect expected;
    };
    const Case cases[] = {
        {"wide picture fitted and centred", {400, 400}, {100, 50}, true, true, {0, 100, 400, 200}},
        {"wide picture fitted at the corner", {400, 400}, {100, 50}, true, false, {0, 0, 400, 200}},
        {"tall picture fitted and centred", {400, 400}, {50, 100}, true, true, {100, 0, 200, 400}},
        {"same aspect fills exactly", {300, 150}, {100, 50}, true, true, {0, 0, 300, 150}},
        {"large picture shrunk", {100, 80}, {1000, 500}, true, true, {0, 15, 100, 50}},
        {"fitted side truncated", {100, 100}, {3, 7}, true, true, {29, 0, 42, 100}},
        {"own size centred", {400, 400}, {100, 50}, false, true, {150, 175, 100, 50}},
        {"own size at the corner", {400, 400}, {100, 50}, false, false, {0, 0, 100, 50}},
        {"larger picture centred leaves the corner",
         {100, 100},
         {301, 201},
         false,
         true,
         {-100, -50, 301, 201}},
        {"zero-height area", {100, 0}, {10, 10}, true, true, {50, 0, 0, 0}},
        {"picture without width", {100, 100}, {0, 10}, true, true, {0, 0, 0, 0}},
        {"picture without height", {100, 100}, {10, 0}, true, true, {0, 0, 0, 0}},
        {"picture without area", {100, 100}, {0, 0}, true, true, {0, 0, 0, 0}},
        {"picture without area at its own size", {100, 100}, {0, 0}, false, true, {0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PlacePicture(c.area, c.picture, c.stretch, c.center), c.expected) << c.name;
    }
}

TEST(BitmapView, ReadsTheRowsInPlace) {
    const TBitmap striped = StripedBitmap(5, 3);
    const QImage view = BitmapView(striped);
    EXPECT_EQ(view.constBits(), striped.Bits());
    EXPECT_EQ(view.bytesPerLine(), striped.BytesPerLine());
    EXPECT_EQ(view.pixel(0, 2), qRgb(255, 0, 0));
    EXPECT_EQ(view.pixel(3, 1), qRgb(0, 0, 255));

    TBitmap indexed(3, 2, TPixelFormat::pf8bit);
    indexed.SetPalette({{10, 20, 30, 0}, {200, 100, 50, 0}});
    indexed.ScanLine(1)[2] = 1;
    indexed.ScanLine(0)[1] = 7;  // beyond the palette
    const QImage view8 = BitmapView(indexed);
    EXPECT_EQ(view8.constBits(), indexed.Bits());
    EXPECT_EQ(view8.pixel(2, 1), qRgb(200, 100, 50));
    EXPECT_EQ(view8.pixel(0, 0), qRgb(10, 20, 30));
    EXPECT_EQ(view8.pixel(1, 0), qRgb(0, 0, 0));

    EXPECT_TRUE(BitmapView(TBitmap()).isNull());
}

TEST(PictureView, DefaultsOfANewView) {
    TcxImage view;
    EXPECT_FALSE(view.AutoSize());
    EXPECT_FALSE(view.Properties().Stretch());
    EXPECT_TRUE(view.Properties().Center());
    EXPECT_EQ(view.Properties().PopupMenuLayout().MenuItems,
              TcxImageMenuItem::Cut | TcxImageMenuItem::Copy | TcxImageMenuItem::Paste |
                  TcxImageMenuItem::Delete | TcxImageMenuItem::Load | TcxImageMenuItem::Save);
    EXPECT_EQ(view.Align(), TAlign::alNone);
    EXPECT_TRUE(view.Picture().Empty());
    EXPECT_EQ(view.focusPolicy(), Qt::NoFocus);
}

TEST(PictureView, ThumbnailIsScaledWithoutSmoothingAndCentred) {
    // A 402 × 402 view has a 400 × 400 inner area: 100 × 50 is drawn 400 × 200 from y 100.
    TcxImage view;
    view.resize(402, 402);
    view.Properties().SetStretch(true);
    view.setEnabled(false);
    view.Picture().Assign(StripedBitmap(100, 50));
    EXPECT_EQ(view.PictureRect(), QRect(1, 101, 400, 200));

    const QImage image = view.grab().toImage();
    const QRgb face = SysColor(TSysColor::BtnFace).rgb();
    const QRgb shadow = SysColor(TSysColor::BtnShadow).rgb();
    EXPECT_EQ(image.pixel(0, 0), shadow);
    EXPECT_EQ(image.pixel(401, 200), shadow);
    EXPECT_EQ(image.pixel(200, 100), face);
    EXPECT_EQ(image.pixel(200, 301), face);
    // Every source column becomes four screen columns of its own colour, no blends between.
    for (int x = 1; x <= 400; ++x) {
        const bool red = ((x - 1) / 4) % 2 == 0;
        ASSERT_EQ(image.pixel(x, 101), red ? qRgb(255, 0, 0) : qRgb(0, 0, 255)) << x;
        ASSERT_EQ(image.pixel(x, 300), image.pixel(x, 101)) << x;
    }
}

TEST(PictureView, EnabledStateDecidesFrameAndBackgroundNeverThePicture) {
    for (bool enabled : {true, false}) {
        SCOPED_TRACE(enabled);
        TcxImage view;
        view.resize(30, 30);
        view.setEnabled(enabled);
        view.Picture().Assign(StripedBitmap(4, 4));
        const QImage image = view.grab().toImage();
        const QColor frame = SysColor(enabled ? TSysColor::DkShadow3D : TSysColor::BtnShadow);
        const QColor background =
            enabled ? view.palette().color(QPalette::Base) : SysColor(TSysColor::BtnFace);
        EXPECT_EQ(image.pixel(0, 0), frame.rgb());
        EXPECT_EQ(image.pixel(2, 2), background.rgb());
        // Centred at its own size: (28 - 4) / 2 = 12 inside the frame.
        EXPECT_EQ(image.pixel(13, 13), qRgb(255, 0, 0));
        EXPECT_EQ(image.pixel(14, 13), qRgb(0, 0, 255));
    }
}

TEST(PictureView, AutoSizeFollowsThePicture) {
    TcxImage view;
    view.resize(50, 50);
    view.Picture().Assign(StripedBitmap(30, 20));
    EXPECT_EQ(view.size(), QSize(50, 50));
    view.SetAutoSize(true);  // at once
    EXPECT_EQ(view.size(), QSize(32, 22));
    view.Picture().Assign(StripedBitmap(7, 9));
    EXPECT_EQ(view.size(), QSize(9, 11));
    view.Picture().Bitmap().SetSize(12, 3);
    view.Picture().Changed();
    EXPECT_EQ(view.size(), QSize(14, 5));
    // Docked views are sized by their container.
    view.SetAlign(TAlign::alClient);
    view.resize(100, 100);
    view.Picture().Assign(StripedBitmap(7, 9));
    EXPECT_EQ(view.size(), QSize(100, 100));
    view.SetAlign(TAlign::alNone);
    EXPECT_EQ(view.size(), QSize(9, 11));
}

TEST(PictureView, OffersNoContextMenuWithoutItemsAndNeverTakesTheFocus) {
    struct Parent : QWidget {
        int menus = 0;
        void contextMenuEvent(QContextMenuEvent* e) override {
            ++menus;
            e->accept();
        }
    } parent;
    parent.resize(100, 100);
    auto* view = new TcxImage(&parent);
    view->setGeometry(10, 10, 50, 50);
    view->Properties().SetMenuItems({});
    parent.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&parent));

    QContextMenuEvent menu(QContextMenuEvent::Mouse, QPoint(5, 5), view->mapToGlobal(QPoint(5, 5)));
    QCoreApplication::sendEvent(view, &menu);
    EXPECT_EQ(parent.menus, 1);  // went on to the parent

    QTest::mouseClick(view, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_FALSE(view->hasFocus());
}

TEST(PictureView, JpegPictureDecodesWhenFirstDrawn) {
    auto jpeg = std::make_unique<TJPEGImage>();
    jpeg->LoadPictureBytes(test::EncodeJpeg(test::MakeSolid(16, 8, 200, 40, 30)));
    TJPEGImage* held = jpeg.get();
    TcxImage view;
    view.SetAutoSize(true);
    view.Picture().SetGraphic(std::move(jpeg));
    EXPECT_EQ(view.size(), QSize(18, 10));  // from the header alone
    EXPECT_FALSE(held->HasPixels());
    const QColor centre = view.grab().toImage().pixelColor(9, 5);
    EXPECT_TRUE(held->HasPixels());
    EXPECT_NEAR(centre.red(), 200, 4);
    EXPECT_NEAR(centre.green(), 40, 4);
    EXPECT_NEAR(centre.blue(), 30, 4);
}

TEST(PictureView, DecodingErrorWhilePaintingIsReportedOnceAfterThePaint) {
    std::vector<std::string> reported;
    SetPaintErrorReporter([&](const std::exception& e) { reported.push_back(e.what()); });

    // Two components: the header loads, the decoding fails before its first row. Fitted, as
    // the thumbnail is: the picture left without rows has no area to place.
    test::RawImage two{8, 8, 2, std::vector<uint8_t>(128, 100)};
    auto jpeg = std::make_unique<TJPEGImage>();
    jpeg->LoadPictureBytes(test::EncodeJpeg(two, {.model = test::ColorModel::kTwoComponents}));
    TcxImage view;
    view.resize(20, 20);
    view.Properties().SetStretch(true);
    view.Picture().SetGraphic(std::move(jpeg));

    EXPECT_NO_THROW(view.grab());
    EXPECT_TRUE(reported.empty());  // not from inside the paint
    QCoreApplication::processEvents();
    ASSERT_EQ(reported.size(), 1u);
    EXPECT_EQ(reported[0].rfind("JPEG error #", 0), 0u) << reported[0];

    EXPECT_TRUE(view.Picture().Empty());
    EXPECT_TRUE(view.PictureRect().isEmpty());
    EXPECT_NO_THROW(view.grab());
    QCoreApplication::processEvents();
    EXPECT_EQ(reported.size(), 1u);
    SetPaintErrorReporter(nullptr);
}

TEST(SongFont, ResolvesToTheInstalledMingFace) {
    EXPECT_EQ(QFontInfo(SongFont(9)).family(), kSongSubstitute);
    EXPECT_EQ(QFontInfo(SongFont(9)).pixelSize(), 12);
}

}  // namespace
}  // namespace velmora
