// The preview frame: pane layout, scrolling together, view modes and both previews.
#include <gtest/gtest.h>

#include <QLabel>
#include <QPainter>
#include <QRadioButton>
#include <QScrollBar>
#include <QSplitter>
#include <QSplitterHandle>
#include <QTabWidget>
#include <QTest>
#include <cstring>

#include "core/compress_file.h"
#include "core/jpeg_image.h"
#include "core/kilobytes.h"
#include "support/geometry_print.h"
#include "support/jpeg_fixture.h"
#include "support/scroll_bar_parts.h"
#include "support/temp_dir.h"
#include "ui/GroupBox.h"
#include "ui/U_ScrollBoxFrame.h"
#include "widgets/U_PicScrollBox.h"
#include "widgets/percent_tick_label.h"
#include "widgets/system_colors.h"
#include "widgets/track_bar.h"

namespace velmora::test {
namespace {

using ui::TScrollBoxFrame;

// What a double click in the file list does with a loaded picture.
void ShowInPanes(TScrollBoxFrame& frame, TJPEGImage& picture) {
    for (TPicScrollBox* box : {frame.SourceBox, frame.DestBox, frame.ResizeBox}) {
        box->cxImage->Picture().Assign(picture.Pixels());
    }
    frame.UpdateCompressPreview();
    frame.UpdateResizePreview();
}

TJPEGImage Picture(const std::vector<uint8_t>& bytes) {
    TJPEGImage picture;
    picture.LoadPictureBytes(bytes);
    return picture;
}

const TBitmap& PaneBitmap(TPicScrollBox* box) {
    return box->cxImage->Picture().Bitmap();
}

TEST(ScrollBoxFrame, SourcePaneTakesHalfTheFrameWidth) {
    TScrollBoxFrame frame;
    frame.show();
    for (auto [width, half] : {std::pair{499, 249}, {498, 249}, {800, 400}}) {
        frame.resize(width, 463);
        EXPECT_EQ(frame.Pan_source->width(), half) << width;
    }
}

// Drags the splitter's handle so that the source pane would be `width` wide, and releases it.
void DragSourcePaneTo(TScrollBoxFrame& frame, int width) {
    QSplitterHandle* handle = frame.Splitter1->handle(1);
    const QPoint grip = handle->rect().center();
    const QPoint to = grip + QPoint(width - handle->x(), 0);
    QTest::mousePress(handle, Qt::LeftButton, {}, grip);
    QMouseEvent move(QEvent::MouseMove, QPointF(to), QPointF(handle->mapToGlobal(to)), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(handle, &move);
    QTest::mouseRelease(handle, Qt::LeftButton, {}, to);
}

TEST(ScrollBoxFrame, SplitterKeepsBothPanesAt30OrSnapsTheSourcePaneShut) {
    TScrollBoxFrame frame;
    frame.resize(498, 463);
    frame.show();
    const int largest = frame.Splitter1->width() - 3 - 30;
    const std::pair<int, int> cases[] = {{120, 120}, {31, 31}, {30, 0},  {16, 0},
                                         {3, 0},     {0, 0},   {-40, 0}, {2000, largest}};
    for (auto [releasedAt, width] : cases) {
        DragSourcePaneTo(frame, 200);
        ASSERT_EQ(frame.Splitter1->sizes().front(), 200);
        DragSourcePaneTo(frame, releasedAt);
        EXPECT_EQ(frame.Splitter1->sizes().front(), width) << releasedAt;
    }
}

TEST(ScrollBoxFrame, StartsEmptyWithBothSlidersAtZero) {
    TScrollBoxFrame frame;
    EXPECT_EQ(frame.PageControl1->currentWidget(), frame.TabSheet_Compress);
    EXPECT_EQ(frame.TrkAngle->Max(), 100);
    EXPECT_EQ(frame.RzTrackBar1->Position(), 0);
    EXPECT_TRUE(frame.RadioButton1->isChecked());
    EXPECT_EQ(frame.Lab_source->text(), QStringLiteral("原图效果"));
    EXPECT_EQ(frame.Lab_destination->text(), QStringLiteral("压缩效果"));
    EXPECT_TRUE(frame.Lab_WH->text().isEmpty());
    EXPECT_EQ(frame.RadioButton2->text(), QStringLiteral("缩 略 图"));
}

// Every tick of a slider drawn through its OnDrawTick handler onto a clear image.
QImage TickLabels(TRzTrackBar& bar, const TRzTrackBar::TDrawTickEvent& drawTick) {
    QImage image(bar.size(), QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    for (int i = bar.Min(); i <= bar.Max(); ++i) {
        drawTick(&bar, painter, bar.TickLocation(i), i);
    }
    return image;
}

TEST(ScrollBoxFrame, BothSlidersAreLabelledByThePercentTickPainter) {
    TScrollBoxFrame frame;
    for (TRzTrackBar* bar : {frame.TrkAngle, frame.RzTrackBar1}) {
        bar->resize(333, 42);
        const QImage labels = TickLabels(*bar, bar->OnDrawTick);
        EXPECT_EQ(labels, TickLabels(*bar, DrawPercentTickLabel));
        EXPECT_NE(labels, TickLabels(*bar, [](TRzTrackBar*, QPainter&, QPoint, int) {}));
    }
}

TEST(ScrollBoxFrame, PanelsInsetTheirLabelsAndPanesByTheBorderOnly) {
    TScrollBoxFrame frame;
    frame.resize(498, 463);
    frame.show();
    QApplication::processEvents();
    for (auto [panel, label, box] :
         {std::tuple{frame.Pan_source, frame.Lab_source, frame.SourceBox},
          {frame.Pan_destination, frame.Lab_destination, frame.DestBox}}) {
        const int inside = panel->width() - 2;
        EXPECT_EQ(label->geometry(), QRect(1, 1, inside, 12));
        EXPECT_EQ(box->geometry(), QRect(1, 13, inside, panel->height() - 14));
    }
}

TEST(ScrollBoxFrame, BothPagesShowTheButtonFaceAroundTheirControls) {
    TScrollBoxFrame frame;
    frame.resize(498, 463);
    frame.show();
    const QRgb face = SysColor(TSysColor::BtnFace).rgb();
    // Inside "显示方式" right of its radio buttons, and beside the caption "压缩比例%".
    const QImage compress = frame.grab().toImage();
    for (QPoint p : {frame.GroupBox1->mapTo(&frame, QPoint(105, 40)),
                     frame.GroupBox2->mapTo(&frame, QPoint(200, 3))}) {
        EXPECT_EQ(compress.pixel(p), face) << p.x() << "," << p.y();
    }
    frame.PageControl1->setCurrentWidget(frame.TabSheet_Resize);
    const QImage resize = frame.grab().toImage();
    const QPoint besideCaption = frame.GroupBox4->mapTo(&frame, QPoint(200, 3));
    EXPECT_EQ(resize.pixel(besideCaption), face);
}

TEST(ScrollBoxFrame, WithoutAPictureTheSlidersOnlyWriteThePercentLabel) {
    TScrollBoxFrame frame;
    frame.TrkAngle->SetPosition(100);
    EXPECT_EQ(frame.Lab_Percent->text(), QStringLiteral("100% "));
    frame.RzTrackBar1->SetPosition(30);
    EXPECT_EQ(frame.Lab_destination->text(), QStringLiteral("压缩效果"));
    EXPECT_TRUE(frame.Lab_WH->text().isEmpty());
    EXPECT_TRUE(frame.ResizeBox->cxImage->Picture().Empty());
}

TEST(ScrollBoxFrame, QualityPreviewShowsTheRoundTripAndItsSize) {
    TScrollBoxFrame frame;
    frame.RzTrackBar1->SetPosition(100);
    const RawImage pattern = MakePattern(120, 80);
    TJPEGImage source = Picture(EncodeJpeg(pattern, {.quality = 95}));
    ShowInPanes(frame, source);
    frame.TrkAngle->SetPosition(60);

    // The expected picture: the decoded source encoded at quality 40 and decoded again.
    const RawImage decoded = DecodeReference(source.EncodedBytes());
    const auto encoded = EncodeJpeg(decoded, {.quality = 40});
    const RawImage expected = DecodeReference(encoded);
    const TBitmap& shown = PaneBitmap(frame.DestBox);
    ASSERT_EQ(shown.Width(), 120);
    for (int y = 0; y < 80; y += 7) {
        for (int x = 0; x < 120; x += 5) {
            const uint8_t* bgr = shown.ScanLine(y) + ptrdiff_t{3} * x;
            const uint8_t* rgb = expected.Pixel(x, y);
            ASSERT_EQ((std::array{bgr[2], bgr[1], bgr[0]}), (std::array{rgb[0], rgb[1], rgb[2]}));
        }
    }
    EXPECT_EQ(frame.Lab_destination->text(),
              QStringLiteral("压缩效果  %1 KB").arg(KilobytesHalfEven(int64_t(encoded.size()))));
    EXPECT_EQ(frame.Lab_Percent->text(), QStringLiteral("60% "));
}

TEST(ScrollBoxFrame, KilobytesRoundHalfToEven) {
    const std::pair<int64_t, int64_t> cases[] = {{511, 0},  {512, 0},  {1023, 1},  {1536, 2},
                                                 {2560, 2}, {3584, 4}, {48700, 48}};
    for (auto [bytes, kilobytes] : cases) {
        EXPECT_EQ(KilobytesHalfEven(bytes), kilobytes) << bytes;
    }
}

TEST(ScrollBoxFrame, ResizePreviewMatchesTheConvertedFile) {
    TempDir dir;
    WriteBytes(dir.File("a.jpg"), EncodeJpeg(MakePattern(643, 211)));
    TScrollBoxFrame frame;
    frame.TrkAngle->SetPosition(25);
    frame.RzTrackBar1->SetPosition(37);
    TJPEGImage source;
    source.LoadPictureFile(dir.File("a.jpg"));
    ShowInPanes(frame, source);
    frame.CompressFile(dir.File("a.jpg"), dir.File("out.jpg"));

    TJPEGImage written;
    written.LoadPictureFile(dir.File("out.jpg"));
    const TBitmap& resized = PaneBitmap(frame.ResizeBox);
    EXPECT_EQ(resized.Width(), written.Width());
    EXPECT_EQ(resized.Height(), written.Height());
    EXPECT_EQ(frame.Lab_WH->text(), QStringLiteral("宽度:238\n高度:78"));
    // The file holds the preview's pixels encoded at quality 90.
    TJPEGImage expected;
    expected.CopyPicture(resized);
    expected.Encode();
    EXPECT_EQ(expected.EncodedBytes(), ReadBytes(dir.File("out.jpg")));
}

bool SamePixels(const TBitmap& a, const TBitmap& b) {
    if (a.Width() != b.Width() || a.Height() != b.Height()) {
        return false;
    }
    for (int y = 0; y < a.Height(); ++y) {
        if (std::memcmp(a.ScanLine(y), b.ScanLine(y), size_t(a.Width()) * 3) != 0) {
            return false;
        }
    }
    return true;
}

// A compression step shrinks for the resize preview while it still decodes: what it shows is
// what the two previews show run one after the other.
TEST(ScrollBoxFrame, CompressionStepShowsWhatBothPreviewsInTurnShow) {
    TScrollBoxFrame frame;
    frame.RzTrackBar1->SetPosition(37);
    TJPEGImage source = Picture(EncodeJpeg(MakePattern(643, 411)));
    ShowInPanes(frame, source);
    const QString sizeBefore = frame.Lab_destination->text();
    frame.TrkAngle->SetPosition(90);
    const TBitmap destination = PaneBitmap(frame.DestBox);
    const TBitmap resized = PaneBitmap(frame.ResizeBox);
    const QString size = frame.Lab_destination->text();
    EXPECT_NE(size, sizeBefore);
    EXPECT_EQ(frame.Lab_WH->text(), QStringLiteral("宽度:238\n高度:152"));

    frame.UpdateCompressPreview();
    frame.UpdateResizePreview();
    EXPECT_EQ(frame.Lab_destination->text(), size);
    EXPECT_EQ(frame.Lab_WH->text(), QStringLiteral("宽度:238\n高度:152"));
    EXPECT_TRUE(SamePixels(PaneBitmap(frame.DestBox), destination));
    EXPECT_TRUE(SamePixels(PaneBitmap(frame.ResizeBox), resized));
}

TEST(ScrollBoxFrame, MovingTheResizeSliderNeverRunsTheQualityPreview) {
    TScrollBoxFrame frame;
    TJPEGImage source = Picture(EncodeJpeg(MakePattern(64, 48)));
    ShowInPanes(frame, source);
    const uint8_t* destination = PaneBitmap(frame.DestBox).Bits();
    const QString size = frame.Lab_destination->text();
    frame.RzTrackBar1->SetPosition(50);
    EXPECT_EQ(PaneBitmap(frame.DestBox).Bits(), destination);
    EXPECT_EQ(frame.Lab_destination->text(), size);
    EXPECT_EQ(frame.Lab_WH->text(), QStringLiteral("宽度:32\n高度:24"));

    frame.RzTrackBar1->SetPosition(0);
    EXPECT_TRUE(frame.ResizeBox->cxImage->Picture().Empty());
    EXPECT_EQ(frame.Lab_WH->text(), QStringLiteral("宽度:0\n高度:0"));

    frame.TrkAngle->SetPosition(90);
    EXPECT_NE(PaneBitmap(frame.DestBox).Bits(), destination);
}

TEST(ScrollBoxFrame, SideBySidePanesScrollTogetherAndResizePaneAlone) {
    TScrollBoxFrame frame;
    frame.resize(498, 463);
    frame.show();
    TJPEGImage source = Picture(EncodeJpeg(MakePattern(900, 700)));
    ShowInPanes(frame, source);
    QApplication::processEvents();

    QScrollBar* sourceBar = frame.SourceBox->horizontalScrollBar();
    QTest::mouseClick(sourceBar, Qt::LeftButton, {},
                      PartCentre(sourceBar, QStyle::SC_ScrollBarAddLine));
    EXPECT_EQ(frame.SourceBox->HorzPosition(), 8);
    EXPECT_EQ(frame.DestBox->HorzPosition(), 8);
    QScrollBar* destinationBar = frame.DestBox->verticalScrollBar();
    QTest::mouseClick(destinationBar, Qt::LeftButton, {},
                      PartCentre(destinationBar, QStyle::SC_ScrollBarAddPage));
    EXPECT_GT(frame.DestBox->VertPosition(), 0);
    EXPECT_EQ(frame.SourceBox->VertPosition(), frame.DestBox->VertPosition());

    frame.PageControl1->setCurrentWidget(frame.TabSheet_Resize);
    frame.RzTrackBar1->SetPosition(100);
    QApplication::processEvents();
    QScrollBar* resizeBar = frame.ResizeBox->horizontalScrollBar();
    QTest::mouseClick(resizeBar, Qt::LeftButton, {},
                      PartCentre(resizeBar, QStyle::SC_ScrollBarAddLine));
    EXPECT_EQ(frame.ResizeBox->HorzPosition(), 8);
    EXPECT_EQ(frame.SourceBox->HorzPosition(), 8);
}

TEST(ScrollBoxFrame, ViewModesSwitchBothSideBySidePanes) {
    TScrollBoxFrame frame;
    frame.show();
    TJPEGImage source = Picture(EncodeJpeg(MakePattern(900, 700)));
    ShowInPanes(frame, source);
    frame.RadioButton2->click();
    for (TPicScrollBox* box : {frame.SourceBox, frame.DestBox}) {
        EXPECT_EQ(box->cxImage->Align(), TAlign::alClient);
        EXPECT_FALSE(box->cxImage->AutoSize());
        EXPECT_TRUE(box->cxImage->Properties().Stretch());
        EXPECT_EQ(box->Range(), QSize(0, 0));
    }
    EXPECT_EQ(frame.ResizeBox->cxImage->Align(), TAlign::alNone);
    frame.RadioButton1->click();
    for (TPicScrollBox* box : {frame.SourceBox, frame.DestBox}) {
        EXPECT_EQ(box->cxImage->Align(), TAlign::alNone);
        EXPECT_TRUE(box->cxImage->AutoSize());
        EXPECT_EQ(box->cxImage->size(), QSize(902, 702));
    }
}

}  // namespace
}  // namespace velmora::test
