// One move of the compression slider in the real preview frame on a large picture: the
// quality preview (encode, decode into the destination pane), the resize preview and the
// repaint of the visible panes, timed next to the core's own encode and decode of the same
// picture at the same quality. The repaint draws the panes' pixels in place, so the step should
// cost the codec work and little more.
//
//     velmora-bench-preview-gui [-r R] [-n REPETITIONS] FILE
#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench_common.h"
#include "core/jpeg_image.h"
#include "core/stream.h"
#include "ui/U_ScrollBoxFrame.h"
#include "widgets/U_PicScrollBox.h"
#include "widgets/track_bar.h"

namespace {

using velmora::bench::Median;
using velmora::bench::Now;

// The core alone: the pixels encoded at the quality into memory and decoded again.
void CoreEncodeDecode(const velmora::TBitmap& pixels, int quality) {
    velmora::TJPEGImage picture;
    velmora::TMemoryStream stream;
    velmora::bench::CoreEncode(picture, pixels, quality, stream);
    velmora::bench::CoreDecode(picture, stream);
}

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication application(argc, argv);
    int resize = 100, repetitions = 5;
    std::string file;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if ((arg == "-r" || arg == "-n") && i + 1 < argc) {
            (arg == "-r" ? resize : repetitions) = std::atoi(argv[++i]);
        } else {
            file = arg;
        }
    }
    if (file.empty() || repetitions < 1) {
        std::fprintf(stderr, "usage: velmora-bench-preview-gui [-r R] [-n N] FILE\n");
        return 2;
    }
    velmora::ui::TScrollBoxFrame frame;
    frame.resize(800, 600);
    frame.show();
    frame.RzTrackBar1->SetPosition(resize);
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
        const int percent = 25 + i % 2;
        const double t0 = Now();
        frame.TrkAngle->SetPosition(percent);
        frame.repaint();
        const double t1 = Now();
        CoreEncodeDecode(source.Pixels(), 100 - percent);
        const double t2 = Now();
        if (i > 0) {
            step.push_back(t1 - t0);
            core.push_back(t2 - t1);
        }
    }
    std::printf("slider step on %d x %d, resize %d%% (median of %d, processor ms)\n",
                source.Width(), source.Height(), resize, repetitions);
    std::printf("  preview step (previews + repaint) %7.1f\n", Median(step));
    std::printf("  core encode + decode              %7.1f\n", Median(core));
    std::printf("  step against the codec work: %.2f\n", Median(step) / Median(core));
    return 0;
}
