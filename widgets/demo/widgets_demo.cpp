// Shows the painted controls in one window: two percent sliders with their labels, a
// vertical slider, progress bars, and picture panes in actual size and thumbnail mode.
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QWidget>
#include <memory>

#include "core/jpeg_image.h"
#include "widgets/U_PicScrollBox.h"
#include "widgets/percent_tick_label.h"
#include "widgets/progress_bar.h"
#include "widgets/song_font.h"
#include "widgets/track_bar.h"

namespace {

using namespace velmora;

TRzTrackBar* PercentSlider(QWidget* parent, const QRect& bounds, int position, QLabel* label) {
    auto* slider = new TRzTrackBar(parent);
    slider->setGeometry(bounds);
    slider->SetMax(100);
    slider->SetTickStyle(TTickStyle::tkOwnerDraw);
    slider->SetTransparent(true);
    slider->OnDrawTick = DrawPercentTickLabel;
    slider->OnChange = [label](TRzTrackBar* sender) {
        label->setText(QString::number(sender->Position()) + QStringLiteral("%"));
    };
    slider->SetPosition(position);
    return slider;
}

// A colourful 24-bit test picture: gradients with a grid every 50 pixels.
TBitmap TestPicture(int width, int height) {
    TBitmap bitmap(width, height);
    for (int y = 0; y < height; ++y) {
        uint8_t* row = bitmap.ScanLine(y);
        for (int x = 0; x < width; ++x) {
            const bool grid = x % 50 == 0 || y % 50 == 0;
            row[3 * x + 0] = grid ? 0 : uint8_t(255 * y / height);
            row[3 * x + 1] = grid ? 0 : uint8_t(128 + 127 * x / width);
            row[3 * x + 2] = grid ? 0 : uint8_t(255 - 255 * x / width);
        }
    }
    return bitmap;
}

QGroupBox* Group(QWidget* parent, const QString& title, const QRect& bounds) {
    auto* box = new QGroupBox(title, parent);
    box->setGeometry(bounds);
    return box;
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    InstallSongFontSubstitute();
    QFont font(kSongFamily);
    font.setPixelSize(12);
    QApplication::setFont(font);

    QWidget window;
    window.setWindowTitle(QStringLiteral("Velmora widgets"));
    window.resize(1000, 700);

    QGroupBox* compress = Group(&window, QStringLiteral("压缩比例%"), QRect(10, 10, 368, 58));
    auto* percent = new QLabel(compress);
    percent->setGeometry(335, 14, 31, 42);
    percent->setAlignment(Qt::AlignCenter);
    PercentSlider(compress, QRect(2, 14, 333, 42), 50, percent);

    QGroupBox* resize = Group(&window, QStringLiteral("缩放比例%"), QRect(10, 80, 490, 58));
    auto* size = new QLabel(resize);
    size->setGeometry(424, 14, 64, 42);
    size->setAlignment(Qt::AlignCenter);
    PercentSlider(resize, QRect(2, 14, 422, 42), 73, size);

    QGroupBox* upright = Group(&window, QStringLiteral("竖直"), QRect(520, 10, 70, 260));
    auto* vertical = new TRzTrackBar(upright);
    vertical->setGeometry(10, 20, 42, 230);
    vertical->SetMax(100);
    vertical->SetPosition(30);

    QGroupBox* progress = Group(&window, QStringLiteral("正在压缩"), QRect(10, 150, 470, 110));
    const uint16_t percents[] = {0, 33, 50, 120};
    for (int i = 0; i < 4; ++i) {
        auto* bar = new TRzProgressBar(progress);
        bar->setGeometry(10, 20 + 22 * i, 449, 17);
        bar->SetBackColor(progress->palette().color(QPalette::Button));
        bar->SetPercent(percents[i]);
    }

    auto* actual = new TPicScrollBox(&window);
    actual->setGeometry(10, 280, 300, 240);
    actual->cxImage->Picture().Assign(TestPicture(500, 400));
    actual->SetHorzPosition(40);

    auto* thumbnail = new TPicScrollBox(&window);
    thumbnail->setGeometry(320, 280, 300, 240);
    thumbnail->cxImage->Picture().Assign(TestPicture(500, 400));
    thumbnail->cxImage->SetAutoSize(false);
    thumbnail->cxImage->SetAlign(TAlign::alClient);
    thumbnail->cxImage->Properties().SetStretch(true);

    // A JPEG picture that decodes when first drawn, as the browser's thumbnail does.
    auto jpeg = std::make_unique<TJPEGImage>();
    jpeg->CopyPicture(TestPicture(160, 90));
    jpeg->Encode();
    auto shown = std::make_unique<TJPEGImage>();
    shown->LoadPictureBytes(jpeg->EncodedBytes());
    auto* view = new TcxImage(&window);
    view->setGeometry(640, 280, 300, 240);
    view->Properties().SetStretch(true);
    view->setEnabled(false);
    view->Picture().SetGraphic(std::move(shown));

    auto* caption = new QLabel(QStringLiteral("原图大小 · 缩 略 图 · 压缩效果"), &window);
    caption->setGeometry(10, 530, 400, 20);

    window.show();
    return app.exec();
}
