#include "conversion_budget.h"

#include <unistd.h>

#include <jerror.h>

#include <algorithm>
#include <fstream>
#include <string>

#include "errors.h"
#include "helper_thread.h"
#include "jpeg_reader.h"
#include "jpeg_writer.h"
#include "pixel_allocator.h"
#include "resize.h"
#include "row_blocks.h"

namespace velmora {

namespace {

// What libjpeg (6b interface, as libjpeg-turbo builds it) allocates, bounded from above.
// A whole-picture coefficient buffer holds 64 two-byte coefficients per block of each
// component, rounded up to whole sampling units, in one large block of picture storage
// (jpeg_large_blocks.cpp), and a pointer to each row of blocks.
constexpr uint64_t kBytesPerBlock = 64 * sizeof(JCOEF);
constexpr uint64_t kBytesPerBlockRow = sizeof(JBLOCKROW);
// Rows held by the main, upsampling, colour and post-processing buffers, per component: some
// 40 at most (4 × 8 rows of the tallest sampling plus context rows), with room to spare.
constexpr uint64_t kBufferedRows = 64;
// Tables, work areas and the memory pools' own overhead: some 50 KiB for the decoder or the
// encoder of a small picture, with room for what grows with the number of rows beyond the
// coefficients.
constexpr uint64_t kFixedBytes = uint64_t{256} << 10;
// The two-pass colour quantizer's histogram.
constexpr uint64_t kHistogramBytes = uint64_t{32} * 64 * 32 * 2;
// The conversion's own rows: blue, green, red bytes, palette indexes and CMYK samples.
constexpr uint64_t kOwnBytesPerColumn = 3 + 1 + 4;
// The shrink's column sums and weights per target and source column (box_shrink.h).
constexpr uint64_t kShrinkBytesPerColumn = 3 * 4 + 4 + 8;

uint64_t CeilDiv(uint64_t n, uint64_t d) {
    return (n + d - 1) / d;
}

uint64_t RoundUp(uint64_t n, uint64_t multiple) {
    return CeilDiv(n, multiple) * multiple;
}

uint64_t CoefficientBytes(uint64_t blocksWide, uint64_t blocksHigh) {
    return PixelBlockAddressSpace(blocksHigh * blocksWide * kBytesPerBlock) +
           blocksHigh * kBytesPerBlockRow;
}

// Decoding the source with the profile.
uint64_t SourceDecodingBytes(const jpeg::JpegReader& reader, bool multipleScans,
                             TJPEGDecodeDepth depth) {
    const jpeg_decompress_struct& header = reader.Header();
    const uint64_t width = header.image_width;
    uint64_t coefficients = 0;
    for (int i = 0; i < header.num_components; ++i) {
        const jpeg_component_info& component = header.comp_info[i];
        coefficients +=
            CoefficientBytes(RoundUp(component.width_in_blocks, component.h_samp_factor),
                             RoundUp(component.height_in_blocks, component.v_samp_factor));
    }
    const bool colour = header.num_components != 1;
    // Two-pass quantization keeps the whole decoded picture.
    const uint64_t quantizedPicture = depth == TJPEGDecodeDepth::jd8bit && colour
                                          ? width * header.image_height * 3 + kHistogramBytes
                                          : 0;
    const uint64_t components = std::max<uint64_t>(header.num_components, 3);
    return kFixedBytes + (multipleScans ? coefficients : 0) + quantizedPicture +
           kBufferedRows * RoundUp(width, 32) * components + kOwnBytesPerColumn * width;
}

// The encoder's pictures are YCbCr with the luminance sampled 2 × 2.
uint64_t EncodedCoefficientBytes(uint64_t width, uint64_t height) {
    const uint64_t luminance =
        CoefficientBytes(RoundUp(CeilDiv(width, 8), 2), RoundUp(CeilDiv(height, 8), 2));
    const uint64_t chrominance = CoefficientBytes(CeilDiv(width, 16), CeilDiv(height, 16));
    return luminance + 2 * chrominance;
}

uint64_t EncodingBytes(int width, int height, bool progressive) {
    const uint64_t w = static_cast<uint64_t>(width);
    return kFixedBytes +
           (progressive ? EncodedCoefficientBytes(w, static_cast<uint64_t>(height)) : 0) +
           kBufferedRows * RoundUp(w, 16) * 3 + jpeg::JpegWriter::ReservedBytes(width, height);
}

// Decoding the conversion's own encoding again (the resize branch).
uint64_t OwnDecodingBytes(int width, int height, bool progressive, TJPEGDecodeDepth depth) {
    const uint64_t w = static_cast<uint64_t>(width);
    const uint64_t h = static_cast<uint64_t>(height);
    const uint64_t quantizedPicture =
        depth == TJPEGDecodeDepth::jd8bit ? w * h * 3 + kHistogramBytes : 0;
    return kFixedBytes + (progressive ? EncodedCoefficientBytes(w, h) : 0) + quantizedPicture +
           kBufferedRows * RoundUp(w, 32) * 3 + kOwnBytesPerColumn * w;
}

// MemAvailable: what can be had without swapping, page cache that can be dropped included.
uint64_t AvailableMemory() {
    std::ifstream meminfo("/proc/meminfo");
    std::string key;
    uint64_t kilobytes = 0;
    std::string unit;
    while (meminfo >> key >> kilobytes >> unit) {
        if (key == "MemAvailable:") {
            return kilobytes * 1024;
        }
    }
    const long pages = ::sysconf(_SC_AVPHYS_PAGES);
    const long pageSize = ::sysconf(_SC_PAGESIZE);
    return pages > 0 && pageSize > 0 ? uint64_t(pages) * uint64_t(pageSize) : 0;
}

}  // namespace

size_t ConversionBytes(const std::vector<uint8_t>& source, int resizePercent,
                       TJPEGDecodeDepth depth, TStageThreads threads) {
    jpeg::JpegReader reader(source.data(), source.size());
    reader.ReadHeader(false);
    const bool progressive = reader.Progressive();
    const int width = reader.ImageWidth();
    const int height = reader.ImageHeight();
    const uint64_t decoding = source.size() + SourceDecodingBytes(reader, progressive, depth);
    const int targetWidth = PercentSize(width, resizePercent);
    const int targetHeight = PercentSize(height, resizePercent);
    if (resizePercent < 100 && (targetWidth == 0 || targetHeight == 0)) {
        return decoding;
    }
    const bool twoThreads = threads != TStageThreads::kOne;
    const uint64_t helper =
        twoThreads ? uint64_t{HelperThread::kStackBytes} + HelperThread::kArenaBytes : 0;
    // On two threads a one-component source, and every source below r = 100, is decoded on a
    // third, which hands its rows over in blocks.
    const bool gray = reader.Grayscale();
    const uint64_t ownDecoding = twoThreads && (gray || resizePercent < 100)
                                     ? helper + uint64_t{kStageRowsPerBlock} * kStageBlocks *
                                                    (gray ? 1 : 3) * uint64_t(width)
                                     : 0;
    // The source is decoded straight into the encoder at the quality, which writes a
    // progressive encoding only as the output at full size.
    const bool progressiveEncoding = progressive && resizePercent == 100;
    const uint64_t compressing =
        decoding + ownDecoding + EncodingBytes(width, height, progressiveEncoding);
    if (resizePercent == 100) {
        const uint64_t blocks =
            twoThreads ? uint64_t{kStageRowsPerBlock} * kStageBlocks * 3 * uint64_t(width) : 0;
        return compressing + blocks + helper;
    }
    // The compressed bytes (in the room reserved for them) are decoded again through the
    // shrink into the final baseline encoder: after the source is gone on one thread, while
    // it is still being decoded on two.
    const uint64_t shrinking =
        jpeg::JpegWriter::ReservedBytes(width, height) +
        OwnDecodingBytes(width, height, false, depth) +
        kShrinkBytesPerColumn * (static_cast<uint64_t>(width) + uint64_t(targetWidth)) +
        EncodingBytes(targetWidth, targetHeight, false);
    return twoThreads ? compressing + shrinking + helper : std::max(compressing, shrinking);
}

void CheckConversionBudget(const std::vector<uint8_t>& source, int resizePercent,
                           TJPEGDecodeDepth depth) {
    if (ConversionBytes(source, resizePercent, depth) > jpeg::DecodedBytesLimit()) {
        throw EJPEG(JERR_IMAGE_TOO_BIG);
    }
}

unsigned ConversionsThatFitInMemory() {
    const uint64_t fitting = AvailableMemory() / jpeg::DecodedBytesLimit();
    return static_cast<unsigned>(std::clamp<uint64_t>(fitting, 1, UINT32_MAX));
}

}  // namespace velmora
