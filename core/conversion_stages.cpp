#include "conversion_stages.h"

#include <exception>
#include <utility>

#include "box_shrink.h"
#include "byte_channel.h"
#include "decoded_rows.h"
#include "errors.h"
#include "helper_run.h"
#include "jpeg_reader.h"
#include "jpeg_writer.h"
#include "resize.h"
#include "row_blocks.h"

namespace velmora {

namespace {

constexpr int kResizedQuality = 90;

// The end of the source's decoding; a progressive encoder at full size still has all its
// passes over the picture to make, on one core.
void FinishSource(DecodedRows& rows, const TConversionStages& s) {
    rows.Finish();
    if (s.progressive && !s.percents.Resizes() && s.coreFreed) {
        s.coreFreed();
    }
}

void EncodeRows(DecodedRows& rows, jpeg::JpegWriter& writer, const TConversionStages& s) {
    for (int y = 0; y < rows.Height(); ++y) {
        writer.WriteRow(rows.Next());
    }
    FinishSource(rows, s);
}

std::vector<uint8_t> ShrinkAndEncode(DecodedRows& rows, int width, int height) {
    BoxShrink shrink(rows.Width(), rows.Height(), width, height);
    std::vector<uint8_t> row(static_cast<size_t>(width) * 3);
    std::vector<uint8_t> output;
    jpeg::JpegWriter writer(output, width, height, kResizedQuality, false, rows.Metadata());
    for (int y = 0; y < rows.Height(); ++y) {
        if (shrink.AddRow(rows.Next(), row.data())) {
            writer.WriteRow(row.data());
        }
    }
    rows.Finish();
    writer.Finish();
    return output;
}

// Decoding ‖ encoding at the quality, rows handed in blocks. The encoder's error comes first
// when both fail: it can only have failed on rows the decoder had already delivered.
void EncodeRowsOnTwoThreads(DecodedRows& rows, jpeg::JpegWriter& writer, HelperThread& helper,
                            const TConversionStages& s) {
    RowBlocks blocks(static_cast<size_t>(rows.Width()) * 3, kStageRowsPerBlock, kStageBlocks);
    HelperRun decoding(helper);
    const bool started = decoding.Start(
        [&] {
            // Stopped by the encoder when WriteRows returns false.
            if (blocks.WriteRows(rows.Height(), [&](uint8_t* row) { rows.ReadInto(row); })) {
                FinishSource(rows, s);
                blocks.Close();
            }
        },
        [&] { blocks.Close(); });
    if (!started) {
        EncodeRows(rows, writer, s);
        return;
    }
    try {
        for (RowBlocks::Block block = blocks.Take(); block.count != 0; block = blocks.Take()) {
            for (int i = 0; i < block.count; ++i) {
                writer.WriteRow(block.rows + static_cast<size_t>(i) * blocks.RowBytes());
            }
        }
    } catch (...) {
        blocks.Stop();
        decoding.Join();
        throw;
    }
    if (const std::exception_ptr error = decoding.Join()) {
        std::rethrow_exception(error);
    }
}

// The threads of a conversion over two cores: the helper, and a third for the first decoding
// where the helper's stages would otherwise outweigh the calling thread's: for a one-component
// source at full size (its rows are dithered on the helper, decoded_rows.h), and for every
// source below r = 100 (the helper then encodes at the quality). The three stages share the
// two cores.
struct StageHelpers {
    HelperThread helper;
    HelperThread decoding;
};

std::vector<uint8_t> ConvertAtFullSize(const std::vector<uint8_t>& source,
                                       const TConversionStages& s, StageHelpers* helpers) {
    DecodedRows rows(source, s.depth, s.kept, helpers ? &helpers->decoding : nullptr);
    std::vector<uint8_t> output;
    jpeg::JpegWriter writer(output, rows.Width(), rows.Height(), s.percents.Quality(),
                            s.progressive, rows.Metadata());
    if (helpers) {
        EncodeRowsOnTwoThreads(rows, writer, helpers->helper, s);
    } else {
        EncodeRows(rows, writer, s);
    }
    writer.Finish();
    return output;
}

// Below r = 100 the encoding at the quality is only decoded again, so it is written baseline
// whatever the source: a progressive encoding holds the same quantized coefficients, which its
// scans together restore exactly, and libjpeg smooths no block of a completed progression, so
// the second decoding gives the same pixels either way, without the progressive encoder's and
// decoder's passes over the whole picture.
constexpr bool kProgressiveIntermediate = false;

std::vector<uint8_t> ConvertResizedOnOneThread(std::vector<uint8_t> source,
                                               const TConversionStages& s, int width, int height) {
    std::vector<uint8_t> compressed;
    {
        DecodedRows rows(source, s.depth, s.kept);
        jpeg::JpegWriter writer(compressed, rows.Width(), rows.Height(), s.percents.Quality(),
                                kProgressiveIntermediate, rows.Metadata());
        EncodeRows(rows, writer, s);
        writer.Finish();
    }
    std::vector<uint8_t>().swap(source);
    // The first encoding carries the kept metadata, so the final one takes it from there.
    DecodedRows rows(compressed, s.depth, s.kept);
    return ShrinkAndEncode(rows, width, height);
}

// Decoding the source and encoding at the quality on the helper ‖ decoding those bytes as they
// come, shrinking and encoding at 90 here. The helper's error comes first: in order, its
// stages end before the second decoding begins.
std::vector<uint8_t> ConvertResizedOnTwoThreads(const std::vector<uint8_t>& source,
                                                const TConversionStages& s, int width, int height,
                                                StageHelpers& helpers) {
    ByteChannel channel;
    std::exception_ptr secondError;
    std::vector<uint8_t> output;
    {
        DecodedRows rows(source, s.depth, s.kept, &helpers.decoding, TDecodingThread::kAny);
        jpeg::JpegWriter writer(channel, rows.Width(), rows.Height(), s.percents.Quality(),
                                kProgressiveIntermediate, rows.Metadata());
        HelperRun first(helpers.helper);
        const bool started = first.Start(
            [&] {
                EncodeRows(rows, writer, s);
                writer.Finish();
                channel.Close(false);
            },
            [&] { channel.Close(true); });
        if (!started) {
            // No thread to be had: the same stages one after another.
            EncodeRows(rows, writer, s);
            writer.Finish();
            channel.Close(false);
        }
        try {
            DecodedRows again(channel, s.depth, s.kept);
            output = ShrinkAndEncode(again, width, height);
        } catch (...) {
            secondError = std::current_exception();
        }
        if (const std::exception_ptr error = started ? first.Join() : nullptr) {
            std::rethrow_exception(error);
        }
    }
    if (secondError) {
        std::rethrow_exception(secondError);
    }
    return output;
}

}  // namespace

std::vector<uint8_t> RunConversionStages(std::vector<uint8_t> source,
                                         const TConversionStages& stages) {
    const ConversionSlot slot;
    StageHelpers helpers;
    const int resizePercent = stages.percents.Resize();
    if (!stages.percents.Resizes()) {
        const bool two = TakeHelper(helpers.helper, stages.threads);
        return ConvertAtFullSize(source, stages, two ? &helpers : nullptr);
    }
    int width = 0;
    int height = 0;
    {
        jpeg::JpegReader header(source.data(), source.size());
        header.ReadHeader(false);
        width = PercentSize(header.ImageWidth(), resizePercent);
        height = PercentSize(header.ImageHeight(), resizePercent);
    }
    if (width == 0 || height == 0) {
        // Nothing will be drawn, but a source that fails to decode still fails.
        DecodedRows rows(source, stages.depth, stages.kept);
        for (int y = 0; y < rows.Height(); ++y) {
            rows.Next();
        }
        rows.Finish();
        return {};
    }
    if (TakeHelper(helpers.helper, stages.threads)) {
        return ConvertResizedOnTwoThreads(source, stages, width, height, helpers);
    }
    return ConvertResizedOnOneThread(std::move(source), stages, width, height);
}

TBitmap EncodeAndDecode(const TBitmap& picture, int quality, TJPEGDecodeDepth depth,
                        const std::function<void(uint64_t)>& encodedSize, TStageThreads threads) {
    const ConversionSlot slot;
    HelperThread helper;
    TBitmap decoded;
    if (!TakeHelper(helper, threads)) {
        const std::vector<uint8_t> bytes = jpeg::EncodeBitmap(picture, quality, false);
        encodedSize(bytes.size());
        jpeg::DecodeInto(bytes.data(), bytes.size(), depth, decoded);
        return decoded;
    }
    ByteChannel channel;
    HelperRun encoding(helper);
    const bool started = encoding.Start(
        [&] {
            jpeg::EncodeBitmap(picture, quality, false, channel);
            channel.Close(false);
        },
        [&] { channel.Close(true); });
    if (!started) {
        jpeg::EncodeBitmap(picture, quality, false, channel);
        channel.Close(false);
    }
    std::exception_ptr decodeError;
    try {
        jpeg::DecodeInto(channel, depth, decoded);
    } catch (...) {
        decodeError = std::current_exception();
    }
    if (const std::exception_ptr error = started ? encoding.Join() : nullptr) {
        std::rethrow_exception(error);
    }
    encodedSize(channel.Size());
    if (decodeError) {
        std::rethrow_exception(decodeError);
    }
    return decoded;
}

}  // namespace velmora
