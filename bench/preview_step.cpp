// The core half of one compression-slider move in the preview: the shown picture encoded at
// the quality and decoded again through the conversion's stages (two threads when a core is
// free), and scaled to the resize percent (in bands over two threads, as a resize-slider move
// scales); then both as the compression step runs them, the scaling drawn beside the decoding.
// Timed next to libjpeg-turbo's own encode and decode of the same pixels with the same profile
// on one thread. Times are wall-clock, since the stages may use two processors.
//
//     velmora-bench-preview [-c C] [-r R] [-n REPETITIONS] FILE
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>
#include <vector>

#include <jpeglib.h>

#include "bench_common.h"
#include "core/bitmap.h"
#include "core/conversion_stages.h"
#include "core/jpeg_image.h"
#include "core/parallel_shrink.h"
#include "core/pixel_allocator.h"
#include "core/preview_stages.h"
#include "core/resize.h"

namespace {

using velmora::bench::Median;
using velmora::bench::WallNow;

// libjpeg-turbo alone: the bitmap's rows encoded with the floating-point DCT into memory.
std::vector<unsigned char> CodecEncode(const velmora::TBitmap& bitmap, int quality) {
    jpeg_compress_struct cinfo{};
    jpeg_error_mgr errors{};
    cinfo.err = jpeg_std_error(&errors);
    jpeg_create_compress(&cinfo);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = JDIMENSION(bitmap.Width());
    cinfo.image_height = JDIMENSION(bitmap.Height());
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_EXT_BGR;
    jpeg_set_defaults(&cinfo);
    cinfo.dct_method = JDCT_FLOAT;
    jpeg_set_quality(&cinfo, quality, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    for (int y = 0; y < bitmap.Height(); ++y) {
        JSAMPROW row = const_cast<JSAMPROW>(bitmap.ScanLine(y));
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    std::vector<unsigned char> bytes(buffer, buffer + size);
    std::free(buffer);
    return bytes;
}

using Frame = std::vector<unsigned char, velmora::PixelAllocator<unsigned char>>;

// libjpeg-turbo alone: the bytes decoded with the profile into one blue, green, red frame
// (in the same huge-page storage as a bitmap, so that only the codecs are compared).
Frame CodecDecode(const std::vector<unsigned char>& bytes) {
    jpeg_decompress_struct cinfo{};
    jpeg_error_mgr errors{};
    cinfo.err = jpeg_std_error(&errors);
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, bytes.data(), static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&cinfo, TRUE);
    cinfo.do_block_smoothing = TRUE;
    cinfo.dct_method = JDCT_FLOAT;
    cinfo.out_color_space = JCS_EXT_BGR;
    jpeg_start_decompress(&cinfo);
    const size_t stride = (size_t{cinfo.output_width} * 3 + 3) & ~size_t{3};
    Frame frame(stride * cinfo.output_height);
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW row = frame.data() + stride * cinfo.output_scanline;
        jpeg_read_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return frame;
}

}  // namespace

// A file that cannot be read or decoded ends the run with its message.
int main(int argc, char** argv) try {
    int compress = 25, resize = 50, repetitions = 5;
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
        std::fprintf(stderr, "usage: velmora-bench-preview [-c C] [-r R] [-n N] FILE\n");
        return 2;
    }
    velmora::TJPEGImage loaded;
    loaded.LoadPictureFile(file);
    const velmora::TBitmap source = loaded.Pixels();  // the source pane's picture
    const int quality = 100 - compress;

    const velmora::TPreviewSteps steps{[](uint64_t) {}, [](const velmora::TBitmap&) {},
                                       [](int, int) {}};
    std::vector<double> step, scale, both, codecEncode, codecDecode;
    // One round more than recorded: the first one meets the heap and the page tables cold.
    for (int i = 0; i <= repetitions; ++i) {
        const auto t0 = WallNow();
        const velmora::TBitmap shown = velmora::EncodeAndDecode(
            source, quality, velmora::TJPEGImage::DefaultDecodeDepth(), [](uint64_t) {});
        const auto t1 = WallNow();
        velmora::TBitmap target;
        target.SetWidth(velmora::PercentSize(shown.Width(), resize));
        target.SetHeight(velmora::PercentSize(shown.Height(), resize));
        velmora::StretchToBitmapInBands(target, shown);
        const auto t2 = WallNow();
        const velmora::TBitmap resized = velmora::EncodeDecodeAndResize(
            source, quality, resize, velmora::TJPEGImage::DefaultDecodeDepth(), steps);
        const auto t3 = WallNow();
        const auto bytes = CodecEncode(source, quality);
        const auto t4 = WallNow();
        const auto frame = CodecDecode(bytes);
        const auto t5 = WallNow();
        if (i == 0) {
            continue;
        }
        step.push_back(t1 - t0);
        scale.push_back(t2 - t1);
        both.push_back(t3 - t2);
        codecEncode.push_back(t4 - t3);
        codecDecode.push_back(t5 - t4);
    }
    const double ours = Median(step);
    const double codec = Median(codecEncode) + Median(codecDecode);
    std::printf("preview step on %d x %d, quality %d, resize %d%% (median of %d, wall ms)\n",
                source.Width(), source.Height(), quality, resize, repetitions);
    std::printf("  velmora encode + decode %7.1f  scale %6.1f  total %7.1f\n", ours, Median(scale),
                ours + Median(scale));
    std::printf("  velmora both, scaling beside the decoding          %7.1f\n", Median(both));
    std::printf("  libjpeg encode %7.1f  decode %7.1f         total %7.1f\n", Median(codecEncode),
                Median(codecDecode), codec);
    std::printf("  encode + decode against libjpeg's own on one thread: %.2f\n", ours / codec);
    std::printf("  both against libjpeg's encode + decode on one thread: %.2f\n",
                Median(both) / codec);
    return 0;
} catch (const std::exception& error) {
    std::fprintf(stderr, "velmora-bench-preview: %s\n", error.what());
    return 1;
}
