#include "widgets/hls_color.h"

#include <gtest/gtest.h>

#include "widgets/thumb_images.h"

namespace velmora {
namespace {

TEST(HlsColor, ConvertsOnTheWindowsScales) {
    struct Case {
        QColor rgb;
        THLS hls;
    };
    const Case cases[] = {
        {QColor(255, 0, 0), {0, 120, 240}},     {QColor(0, 255, 0), {80, 120, 240}},
        {QColor(0, 0, 255), {160, 120, 240}},   {QColor(255, 0, 255), {200, 120, 240}},
        {QColor(128, 128, 128), {160, 120, 0}},  // greys report the undefined hue 160
        {QColor(255, 255, 255), {160, 240, 0}}, {QColor(0, 0, 0), {160, 0, 0}},
        {QColor(255, 0, 5), {239, 120, 240}},  // a hue just below 0 wraps to 239
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rgb.name().toStdString());
        EXPECT_EQ(ColorToHLS(c.rgb), c.hls);
    }
    EXPECT_EQ(ColorFromHLS({0, 120, 240}), QColor(255, 0, 0));
    EXPECT_EQ(ColorFromHLS({80, 120, 240}), QColor(0, 255, 0));
    EXPECT_EQ(ColorFromHLS({40, 180, 220}), QColor(250, 250, 133));
    EXPECT_EQ(ColorFromHLS({160, 60, 0}), QColor(63, 63, 63));
}

TEST(HlsColor, LuminanceStepsClampAtTheEnds) {
    EXPECT_EQ(ColorToHLS(AdjustLuminance(QColor(0, 0, 255), 30)).luminance, 150);
    EXPECT_EQ(ColorToHLS(AdjustLuminance(QColor(0, 0, 255), -30)).luminance, 90);
    EXPECT_EQ(AdjustLuminance(QColor(250, 250, 250), 30), QColor(255, 255, 255));
    EXPECT_EQ(AdjustLuminance(QColor(5, 5, 5), -30), QColor(0, 0, 0));
}

TEST(ThumbColors, HotComplementTurnsTheHueHalfWayRound) {
    // Blue (hue 160) turns to hue 40 at saturation 220, luminance 180: a pale yellow.
    const TThumbColors fromBlue =
        HotThumbColors(QColor(0, 0, 255), THotTrackColorType::htctComplement);
    EXPECT_EQ(fromBlue.leftEdge, QColor(250, 250, 133));
    EXPECT_EQ(fromBlue.band, AdjustLuminance(QColor(250, 250, 133), -15));
    EXPECT_EQ(fromBlue.rightEdge, AdjustLuminance(QColor(250, 250, 133), -30));
    // Red (hue 0) is below 120, so 120 is added: cyan.
    const TThumbColors fromRed =
        HotThumbColors(QColor(255, 0, 0), THotTrackColorType::htctComplement);
    EXPECT_EQ(ColorToHLS(fromRed.leftEdge).hue, 120);

    const TThumbColors actual = HotThumbColors(QColor(0, 0, 255), THotTrackColorType::htctActual);
    EXPECT_EQ(actual.band, QColor(0, 0, 255));
    EXPECT_EQ(actual.leftEdge, AdjustLuminance(QColor(0, 0, 255), 30));
    EXPECT_EQ(actual.rightEdge, AdjustLuminance(QColor(0, 0, 255), -30));
}

TEST(ThumbImages, MaskIsThePointerShapeInBothOrientations) {
    const TThumbColors c = NormalThumbColors(Qt::blue);
    const TThumbImages upright = MakeThumbImages(c, c, c, false);
    ASSERT_EQ(upright.mask.size(), QSize(11, 21));
    // Tip: one pixel at the top, widening by one each side per row for five rows.
    for (int y = 0; y < 5; ++y) {
        for (int x = 0; x < 11; ++x) {
            SCOPED_TRACE(testing::Message() << x << "," << y);
            const bool inside = std::abs(x - 5) <= y;
            EXPECT_EQ(upright.mask.pixelIndex(x, y), inside ? 1 : 0);
            EXPECT_EQ(qAlpha(upright.normal.pixel(x, y)), inside ? 255 : 0);
        }
    }
    for (int y = 5; y < 21; ++y) {
        EXPECT_EQ(upright.mask.pixelIndex(0, y), 1);
        EXPECT_EQ(upright.mask.pixelIndex(10, y), 1);
    }

    const TThumbImages lying = MakeThumbImages(c, c, c, true);
    ASSERT_EQ(lying.mask.size(), QSize(21, 11));
    for (int y = 0; y < 11; ++y) {
        for (int x = 0; x < 21; ++x) {
            EXPECT_EQ(lying.mask.pixelIndex(x, y), upright.mask.pixelIndex(y, x));
            EXPECT_EQ(lying.normal.pixel(x, y), upright.normal.pixel(y, x));
        }
    }
}

}  // namespace
}  // namespace velmora
