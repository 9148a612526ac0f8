// Paint costs of the painted controls: a large picture fitted into a thumbnail and shown at
// actual size through a small window, and a slider thumb move against a full repaint.
#include <benchmark/benchmark.h>
#include <QApplication>
#include <QImage>
#include <QPainter>
#include <cstdlib>

#include "widgets/picture_view.h"
#include "widgets/track_bar.h"

namespace {

using namespace velmora;

TBitmap LargePicture() {
    TBitmap bitmap(4000, 3000);
    for (int y = 0; y < bitmap.Height(); ++y) {
        uint8_t* row = bitmap.ScanLine(y);
        for (int x = 0; x < 3 * bitmap.Width(); ++x) {
            row[x] = uint8_t(x + y);
        }
    }
    return bitmap;
}

void BM_ThumbnailOfLargePicture(benchmark::State& state) {
    TcxImage view;
    view.resize(402, 302);
    view.Properties().SetStretch(true);
    view.Picture().Assign(LargePicture());
    QImage target(view.size(), QImage::Format_RGB32);
    for (auto _ : state) {
        view.render(&target);
        benchmark::DoNotOptimize(target.constBits());
    }
}
BENCHMARK(BM_ThumbnailOfLargePicture)->Unit(benchmark::kMillisecond);

void BM_ActualSizeWindowOnLargePicture(benchmark::State& state) {
    TcxImage view;
    view.SetAutoSize(true);
    view.Picture().Assign(LargePicture());
    QImage target(400, 300, QImage::Format_RGB32);
    const QRegion window(1000, 1000, 400, 300);
    for (auto _ : state) {
        view.render(&target, QPoint(0, 0), window);
        benchmark::DoNotOptimize(target.constBits());
    }
}
BENCHMARK(BM_ActualSizeWindowOnLargePicture)->Unit(benchmark::kMillisecond);

void DrawLabel(TRzTrackBar*, QPainter& canvas, QPoint location, int index) {
    if (index % 10 == 0) {
        canvas.drawText(location.x() - 6, 12, QString::number(index));
    }
}

TRzTrackBar* PercentSlider() {
    auto* slider = new TRzTrackBar;
    slider->resize(333, 42);
    slider->SetMax(100);
    slider->SetTickStyle(TTickStyle::tkOwnerDraw);
    slider->OnDrawTick = DrawLabel;
    return slider;
}

void BM_SliderThumbMove(benchmark::State& state) {
    TRzTrackBar* slider = PercentSlider();
    QImage target(slider->size(), QImage::Format_RGB32);
    slider->render(&target);  // builds the cache
    int position = 0;
    for (auto _ : state) {
        const QRect old = slider->ThumbRect();
        position = (position + 1) % 101;
        slider->SetPosition(position);
        const QRegion changed = QRegion(old) + slider->ThumbRect();
        slider->render(&target, changed.boundingRect().topLeft(), changed);
    }
    delete slider;
}
BENCHMARK(BM_SliderThumbMove)->Unit(benchmark::kMicrosecond);

void BM_SliderFullRepaint(benchmark::State& state) {
    TRzTrackBar* slider = PercentSlider();
    QImage target(slider->size(), QImage::Format_RGB32);
    for (auto _ : state) {
        slider->SetTickStep(1);  // marks the cache dirty, as a look change does
        slider->render(&target);
    }
    delete slider;
}
BENCHMARK(BM_SliderFullRepaint)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
