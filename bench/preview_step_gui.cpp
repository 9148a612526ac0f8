// One move of the compression slider in the real preview frame on a large picture: the
// quality preview (encode, decode into the destination pane), the resize preview and the
// repaint of the visible panes, timed in wall-clock time next to the single-thread libjpeg
// encode and decode of the same picture at the same quality (the conversion's stages one after
// another on one thread). The step runs the two codecs side by side on two threads when a core
// is free, and the resize preview's shrink beside the decoding once the encoding is written, so
// it may take less than that work on one.
//
//     velmora-bench-preview-gui [-c C] [-r R] [-n REPETITIONS] FILE
#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench_common.h"
#include "core/conversion_stages.h"
#include "core/jpeg_image.h"
#include "ui/U_ScrollBoxFrame.h"
#include "widgets/U_PicScrollBox.h"
#include "widgets/track_bar.h"

namespace {

using velmora::bench::Median;
using velmora::bench::WallNow;

// The codecs alone on one thread: the pixels encoded at the quality into memory and decoded.
void SingleThreadEncodeDecode(const velmora::TBitmap& pixels, int quality) {
    velmora::EncodeAndDecode(
        pixels, quality, velmora::TJPEGImage::DefaultDecodeDepth(), [](uint64_t) {},
        velmora::TStageThreads::kOne);
}

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication application(argc, argv);
    int compress = 25, resize = 100, repetitions = 5;
    std::string file;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if ((arg == "-c" || arg == "-r" || arg == "-n") && i + 1 < argc) {
            const int value = std::atoi(argv[++i]);
            (arg == "-c" ? compress : arg == "-r" ? resize : repetitions) = value;
        } else {
            file = arg;
        }
    }
    if (file.empty() || repetitions < 1) {
        std::fprintf(stderr, "usage: velmora-bench-preview-gui [-c C] [-r R] [-n N] FILE\n");
        return 2;
    }
    velmora::ui::TScrollBoxFrame frame;
    frame.resize(800, 600);
    frame.show();
    frame.RzTrackBar1->SetPosition(resize);
    // Steps alternate between c and its neighbour, so that every one changes the position.
    const int neighbour = compress < 100 ? compress + 1 : compress - 1;
    velmora::TJPEGImage source;
    source.LoadPictureFile(file);
    for (velmora::TPicScrollBox* box : {frame.SourceBox, frame.DestBox, frame.ResizeBox}) {
        box->cxImage->Picture().Assign(source.Pixels());
    }
    frame.UpdateCompressPreview();
    frame.UpdateResizePreview();
    frame.repaint();

    std::vector<double> step, core;
    // One round more than recorded: the first one meets the heap and the page tables cold.
    for (int i = 0; i <= repetitions; ++i) {
        const int percent = i % 2 ? neighbour : compress;
        const double t0 = WallNow();
        frame.TrkAngle->SetPosition(percent);
        frame.repaint();
        const double t1 = WallNow();
        SingleThreadEncodeDecode(source.Pixels(), 100 - percent);
        const double t2 = WallNow();
        if (i > 0) {
            step.push_back(t1 - t0);
            core.push_back(t2 - t1);
        }
    }
    std::printf("slider step on %d x %d, quality %d, resize %d%% (median of %d, wall ms)\n",
                source.Width(), source.Height(), 100 - compress, resize, repetitions);
    std::printf("  preview step (previews + repaint)  %7.1f\n", Median(step));
    std::printf("  single-thread encode + decode      %7.1f\n", Median(core));
    std::printf("  step against the single-thread codec work: %.2f\n", Median(step) / Median(core));
    return 0;
}
