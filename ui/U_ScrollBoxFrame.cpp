#include "U_ScrollBoxFrame.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QRadioButton>
#include <QSplitter>
#include <QTabWidget>
#include <QVBoxLayout>
#include <cstdint>
#include <optional>

#include "GroupBox.h"
#include "Splitter.h"
#include "browser/WaitCursor.h"
#include "core/bitmap.h"
#include "core/compress_file.h"
#include "core/conversion_stages.h"
#include "core/jpeg_image.h"
#include "core/kilobytes.h"
#include "core/parallel_shrink.h"
#include "core/preview_stages.h"
#include "core/resize.h"
#include "widgets/U_PicScrollBox.h"
#include "widgets/percent_tick_label.h"
#include "widgets/song_font.h"
#include "widgets/track_bar.h"

namespace velmora::ui {

TScrollBoxFrame* ScrollBoxFrame = nullptr;

namespace {

constexpr int kBarPanelHeight = 58;
constexpr int kLabelHeight = 12;
constexpr int kSplitterWidth = TSplitter::kWidth;
constexpr int kPaneMinimum = 30;
// Pictures from which a slider step takes more than about a tenth of a second, and so shows
// the wait pointer: a compression step encodes and decodes the whole picture (some 4 ns a
// pixel on two cores), a resize step only shrinks it.
constexpr int64_t kSlowCompressStepPixels = int64_t{4} << 20;
constexpr int64_t kSlowResizeStepPixels = int64_t{24} << 20;

// The wait pointer for the rest of a step on the picture, when the picture makes it slow.
std::optional<TWaitCursor> WaitCursorForStep(const TPicture& picture, int64_t slowPixels) {
    if (int64_t{picture.Width()} * picture.Height() < slowPixels) {
        return std::nullopt;
    }
    return std::make_optional<TWaitCursor>();
}

QVBoxLayout* StackLayout(QWidget* parent) {
    auto* layout = new QVBoxLayout(parent);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    return layout;
}

TRzTrackBar* PercentSlider(QWidget* parent) {
    auto* slider = new TRzTrackBar(parent);
    slider->SetMax(100);
    slider->SetTickStyle(TTickStyle::tkOwnerDraw);
    slider->SetTransparent(true);
    return slider;
}

// A page in the button-face colour like the panes and captions on it, rather than in the
// lighter colour the style gives the inside of a tab control.
QWidget* TabPage() {
    auto* page = new QWidget;
    page->setBackgroundRole(QPalette::Button);
    page->setAutoFillBackground(true);
    return page;
}

QFrame* PicturePanel(QWidget* parent, const QString& caption, QLabel*& label) {
    auto* panel = new QFrame(parent);
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panel->setMinimumWidth(kPaneMinimum);
    auto* layout = StackLayout(panel);
    label = new QLabel(caption, panel);
    label->setFixedHeight(kLabelHeight);
    label->setAlignment(Qt::AlignCenter);
    layout->addWidget(label);
    return panel;
}

void ShowActualSize(TPicScrollBox* box) {
    box->cxImage->SetAutoSize(true);
    box->cxImage->SetAlign(TAlign::alNone);
}

void ShowFitted(TPicScrollBox* box) {
    box->cxImage->SetAutoSize(false);
    box->cxImage->SetAlign(TAlign::alClient);
    box->cxImage->Properties().SetStretch(true);
}

}  // namespace

TScrollBoxFrame::TScrollBoxFrame(QWidget* owner) : QWidget(owner) {
    setFont(SongPixelFont(12));
    resize(498, 463);
    PageControl1 = new QTabWidget(this);
    StackLayout(this)->addWidget(PageControl1);
    BuildCompressPage();
    BuildResizePage();
    PageControl1->setCurrentIndex(0);
    CreatePanes();
}

void TScrollBoxFrame::BuildCompressPage() {
    TabSheet_Compress = TabPage();
    PageControl1->addTab(TabSheet_Compress, QStringLiteral("图片压缩"));
    auto* page = StackLayout(TabSheet_Compress);

    Panel1 = new QWidget(TabSheet_Compress);
    Panel1->setFixedHeight(kBarPanelHeight);
    auto* bar = new QHBoxLayout(Panel1);
    bar->setContentsMargins(0, 0, 0, 0);
    bar->setSpacing(0);
    GroupBox1 = new TGroupBox(QStringLiteral("显示方式"), Panel1);
    GroupBox1->setFixedWidth(122);
    RadioButton1 = new QRadioButton(QStringLiteral("原图大小"), GroupBox1);
    RadioButton1->setGeometry(16, 17, 73, 17);
    RadioButton1->setChecked(true);
    RadioButton2 = new QRadioButton(QStringLiteral("缩 略 图"), GroupBox1);
    RadioButton2->setGeometry(16, 33, 73, 17);
    bar->addWidget(GroupBox1);
    GroupBox2 = new TGroupBox(QStringLiteral("压缩比例%"), Panel1);
    QHBoxLayout* percent = GroupBox2->ContentLayout();
    TrkAngle = PercentSlider(GroupBox2);
    percent->addWidget(TrkAngle, 1);
    Lab_Percent = new QLabel(GroupBox2);
    Lab_Percent->setFixedWidth(31);
    Lab_Percent->setAlignment(Qt::AlignCenter);
    percent->addWidget(Lab_Percent);
    bar->addWidget(GroupBox2, 1);
    page->addWidget(Panel1);

    auto* splitter = new TSplitter(Qt::Horizontal, TabSheet_Compress);
    splitter->SetSnapShutSize(kPaneMinimum);
    Splitter1 = splitter;
    Pan_source = PicturePanel(Splitter1, QStringLiteral("原图效果"), Lab_source);
    Pan_destination = PicturePanel(Splitter1, QStringLiteral("压缩效果"), Lab_destination);
    Splitter1->addWidget(Pan_source);
    Splitter1->addWidget(Pan_destination);
    Splitter1->setCollapsible(0, true);
    Splitter1->setCollapsible(1, false);
    Splitter1->setStretchFactor(1, 1);
    page->addWidget(Splitter1, 1);

    connect(RadioButton1, &QRadioButton::toggled, this, [this](bool on) {
        if (on) {
            RadioButton1Click();
        }
    });
    connect(RadioButton2, &QRadioButton::toggled, this, [this](bool on) {
        if (on) {
            RadioButton2Click();
        }
    });
    TrkAngle->OnChange = [this](TRzTrackBar*) { TrkAngleChange(); };
    TrkAngle->OnDrawTick = [this](TRzTrackBar*, QPainter& canvas, QPoint location, int index) {
        TrkAngleDrawTick(canvas, location, index);
    };
}

void TScrollBoxFrame::BuildResizePage() {
    TabSheet_Resize = TabPage();
    PageControl1->addTab(TabSheet_Resize, QStringLiteral("图片缩放"));
    auto* page = StackLayout(TabSheet_Resize);

    Panel2 = new QWidget(TabSheet_Resize);
    Panel2->setFixedHeight(kBarPanelHeight);
    GroupBox4 = new TGroupBox(QStringLiteral("缩放比例%"), Panel2);
    StackLayout(Panel2)->addWidget(GroupBox4);
    QHBoxLayout* percent = GroupBox4->ContentLayout();
    RzTrackBar1 = PercentSlider(GroupBox4);
    percent->addWidget(RzTrackBar1, 1);
    Panel3 = new QWidget(GroupBox4);
    Panel3->setFixedWidth(64);
    Lab_WH = new QLabel(Panel3);
    Lab_WH->setGeometry(0, 0, 64, 42);
    Lab_WH->setAlignment(Qt::AlignCenter);
    percent->addWidget(Panel3);
    page->addWidget(Panel2);

    RzTrackBar1->OnChange = [this](TRzTrackBar*) { RzTrackBar1Change(); };
    RzTrackBar1->OnDrawTick = [this](TRzTrackBar*, QPainter& canvas, QPoint location, int index) {
        RzTrackBar1DrawTick(canvas, location, index);
    };
}

// The panes come after the form's own controls: source, destination, resize.
void TScrollBoxFrame::CreatePanes() {
    SourceBox = new TPicScrollBox(Pan_source);
    Pan_source->layout()->addWidget(SourceBox);
    SourceBox->OnVScroll = [this](TPicScrollBox* box) { SyncVertScroll(box); };
    SourceBox->OnHScroll = [this](TPicScrollBox* box) { SyncHorzScroll(box); };
    DestBox = new TPicScrollBox(Pan_destination);
    Pan_destination->layout()->addWidget(DestBox);
    DestBox->OnVScroll = [this](TPicScrollBox* box) { SyncVertScroll(box); };
    DestBox->OnHScroll = [this](TPicScrollBox* box) { SyncHorzScroll(box); };
    ResizeBox = new TPicScrollBox(TabSheet_Resize);
    TabSheet_Resize->layout()->addWidget(ResizeBox);
}

void TScrollBoxFrame::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    FrameResize();
}

// The source pane takes half of the frame (not of the page); a dragged width lasts until the
// next resize.
void TScrollBoxFrame::FrameResize() {
    const int source = width() / 2;
    const int total = Splitter1->width() - kSplitterWidth;
    Splitter1->setSizes({source, std::max(total - source, 0)});
}

void TScrollBoxFrame::RadioButton1Click() {
    ShowActualSize(SourceBox);
    ShowActualSize(DestBox);
}

void TScrollBoxFrame::RadioButton2Click() {
    ShowFitted(SourceBox);
    ShowFitted(DestBox);
}

// Setting a position raises no scroll event in the other box, so nothing echoes back.
void TScrollBoxFrame::SyncHorzScroll(TPicScrollBox* box) {
    if (box == SourceBox) {
        DestBox->SetHorzPosition(SourceBox->HorzPosition());
    } else {
        SourceBox->SetHorzPosition(DestBox->HorzPosition());
    }
}

void TScrollBoxFrame::SyncVertScroll(TPicScrollBox* box) {
    if (box == SourceBox) {
        DestBox->SetVertPosition(SourceBox->VertPosition());
    } else {
        SourceBox->SetVertPosition(DestBox->VertPosition());
    }
}

void TScrollBoxFrame::TrkAngleChange() {
    const std::optional<TWaitCursor> wait =
        WaitCursorForStep(SourceBox->cxImage->Picture(), kSlowCompressStepPixels);
    UpdateCompressAndResizePreviews();
}

void TScrollBoxFrame::RzTrackBar1Change() {
    const std::optional<TWaitCursor> wait =
        WaitCursorForStep(DestBox->cxImage->Picture(), kSlowResizeStepPixels);
    UpdateResizePreview();
}

void TScrollBoxFrame::TrkAngleDrawTick(QPainter& canvas, QPoint location, int index) {
    DrawPercentTickLabel(TrkAngle, canvas, location, index);
}

void TScrollBoxFrame::RzTrackBar1DrawTick(QPainter& canvas, QPoint location, int index) {
    DrawPercentTickLabel(RzTrackBar1, canvas, location, index);
}

void TScrollBoxFrame::UpdateCompressPreview() {
    const int percent = ShowCompressPercent();
    TPicture& source = SourceBox->cxImage->Picture();
    if (source.Empty()) {
        return;
    }
    // The encoding's size is shown before its decoded picture, as soon as it is whole.
    // Quality 0 is passed through; the encoder treats it as 1.
    TBitmap decoded =
        EncodeAndDecode(source.Bitmap(), 100 - percent, TJPEGImage::DefaultDecodeDepth(),
                        [this](uint64_t size) { ShowEncodedSize(size); });
    // The decoded bytes show every loss of the compression.
    DestBox->cxImage->Picture().Assign(decoded);
}

void TScrollBoxFrame::UpdateResizePreview() {
    const TPicture& compressed = DestBox->cxImage->Picture();
    if (compressed.Empty()) {
        return;
    }
    const int percent = RzTrackBar1->Position();
    TBitmap working;
    working.SetWidth(PercentSize(compressed.Width(), percent));
    working.SetHeight(PercentSize(compressed.Height(), percent));
    ShowResizedSize(working.Width(), working.Height());
    StretchToBitmapInBands(working, DestBox->cxImage->Picture().Bitmap());
    ResizeBox->cxImage->Picture().Assign(working);
}

// The two previews one after the other, as their own methods run them, with the resize
// preview's shrink drawn while the quality preview still decodes.
void TScrollBoxFrame::UpdateCompressAndResizePreviews() {
    const int percent = ShowCompressPercent();
    TPicture& source = SourceBox->cxImage->Picture();
    if (source.Empty()) {
        UpdateResizePreview();
        return;
    }
    const TBitmap resized = EncodeDecodeAndResize(
        source.Bitmap(), 100 - percent, RzTrackBar1->Position(), TJPEGImage::DefaultDecodeDepth(),
        {.encodedSize = [this](uint64_t size) { ShowEncodedSize(size); },
         .decoded = [this](const TBitmap& decoded) { DestBox->cxImage->Picture().Assign(decoded); },
         .resizedSize = [this](int width, int height) { ShowResizedSize(width, height); }});
    ResizeBox->cxImage->Picture().Assign(resized);
}

int TScrollBoxFrame::ShowCompressPercent() {
    const int percent = TrkAngle->Position();
    Lab_Percent->setText(QString::number(percent) + QStringLiteral("% "));
    return percent;
}

void TScrollBoxFrame::ShowEncodedSize(uint64_t bytes) {
    Lab_destination->setText(QStringLiteral("压缩效果  ") +
                             QString::number(KilobytesHalfEven(static_cast<int64_t>(bytes))) +
                             QStringLiteral(" KB"));
}

void TScrollBoxFrame::ShowResizedSize(int width, int height) {
    Lab_WH->setText(QStringLiteral("宽度:") + QString::number(width) + QStringLiteral("\n高度:") +
                    QString::number(height));
}

void TScrollBoxFrame::CompressFile(const std::string& source, const std::string& output) const {
    velmora::CompressFile(
        source, output,
        {CompressPercent(TrkAngle->Position()), ResizePercent(RzTrackBar1->Position())});
}

}  // namespace velmora::ui
