// The status pane's look: its frame and where its text goes.
#include <gtest/gtest.h>

#include <QImage>

#include "ui/StatusPane.h"
#include "widgets/hls_color.h"
#include "widgets/system_colors.h"

namespace velmora::test {
namespace {

TEST(StatusPane, FrameSitsOnePixelInWithoutItsCornersAndTheTextFivePixelsIn) {
    ui::TRzStatusPane pane;
    pane.resize(120, 19);
    pane.SetCaption(QStringLiteral("选定 3 个图片"));
    const QImage image = pane.grab().toImage();
    const QRgb face = SysColor(TSysColor::BtnFace).rgb();
    const QRgb line = AdjustLuminance(SysColor(TSysColor::BtnShadow), 30).rgb();
    const int right = pane.width() - 2;
    const int bottom = pane.height() - 2;

    // Reports the first pixel of a row or column of pixels that is not of the colour.
    auto expectRun = [&](QPoint from, QPoint step, int count, QRgb colour, const char* what) {
        for (QPoint p = from; count > 0; p += step, --count) {
            if (image.pixel(p) != colour) {
                ADD_FAILURE() << what << " at " << p.x() << "," << p.y();
                return;
            }
        }
    };
    const int across = right - 2;
    const int down = bottom - 2;
    expectRun({2, 1}, {1, 0}, across, line, "top line");
    expectRun({2, bottom}, {1, 0}, across, line, "bottom line");
    expectRun({1, 2}, {0, 1}, down, line, "left line");
    expectRun({right, 2}, {0, 1}, down, line, "right line");
    expectRun({2, 0}, {1, 0}, across, face, "above the frame");
    expectRun({2, bottom + 1}, {1, 0}, across, face, "below the frame");
    expectRun({0, 2}, {0, 1}, down, face, "left of the frame");
    expectRun({right + 1, 2}, {0, 1}, down, face, "right of the frame");
    for (QPoint corner :
         {QPoint(1, 1), QPoint(right, 1), QPoint(1, bottom), QPoint(right, bottom)}) {
        EXPECT_EQ(image.pixel(corner), face) << corner.x() << "," << corner.y();
    }

    // The text's ink starts at the caption's left edge, 5 pixels in (the first glyph's own
    // side bearing aside), and stays inside the frame.
    int firstInk = pane.width();
    for (int y = 2; y < bottom; ++y) {
        for (int x = 2; x < right; ++x) {
            if (image.pixel(x, y) != face) {
                firstInk = std::min(firstInk, x);
            }
        }
    }
    EXPECT_GE(firstInk, 5);
    EXPECT_LE(firstInk, 7);
}

}  // namespace
}  // namespace velmora::test
