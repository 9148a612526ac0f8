#include "preview_stages.h"

#include <exception>
#include <memory>
#include <utility>
#include <vector>

#include "byte_channel.h"
#include "conversion_stages.h"
#include "helper_thread.h"
#include "jpeg_reader.h"
#include "jpeg_writer.h"
#include "parallel_shrink.h"
#include "resize.h"
#include "row_progress.h"

namespace velmora {

namespace {

TBitmap InOrder(const TBitmap& picture, int quality, int resizePercent, TJPEGDecodeDepth depth,
                const TPreviewSteps& steps, TStageThreads threads) {
    const TBitmap decoded = EncodeAndDecode(picture, quality, depth, steps.encodedSize, threads);
    steps.decoded(decoded);
    TBitmap resized;
    resized.SetWidth(PercentSize(decoded.Width(), resizePercent));
    resized.SetHeight(PercentSize(decoded.Height(), resizePercent));
    steps.resizedSize(resized.Width(), resized.Height());
    StretchToBitmapInBands(resized, decoded, threads);
    return resized;
}

// The resized bitmap and its bands, made before the stages start: the decoding of an encoding
// has the picture's sides.
struct ResizedBands {
    ResizedBands(const TBitmap& picture, int width, int height)
        : bitmap(width, height),
          bands(picture.Width(), picture.Height(), bitmap),
          helperLane(bands.NewLane()),
          ownLane(bands.NewLane()) {}

    TBitmap bitmap;
    ShrinkBands bands;
    ShrinkBands::Lane helperLane;
    ShrinkBands::Lane ownLane;
};

// No thread to be had: the stages one after another, into the bands already made.
TBitmap OnOneThread(const TBitmap& picture, int quality, TJPEGDecodeDepth depth,
                    const TPreviewSteps& steps, ResizedBands& resized) {
    const std::vector<uint8_t> bytes = jpeg::EncodeBitmap(picture, quality, false);
    steps.encodedSize(bytes.size());
    TBitmap decoded;
    jpeg::DecodeInto(bytes.data(), bytes.size(), depth, decoded);
    steps.decoded(decoded);
    steps.resizedSize(resized.bitmap.Width(), resized.bitmap.Height());
    resized.bands.Run(resized.ownLane, decoded);
    return std::move(resized.bitmap);
}

// Encoding, then shrinking the bands already decoded, on the helper ‖ decoding, then shrinking
// the bands left, here. The helper's encoding error comes first, as in EncodeAndDecode; every
// shrink error comes last.
TBitmap OnTwoThreads(const TBitmap& picture, int quality, TJPEGDecodeDepth depth,
                     const TPreviewSteps& steps, ResizedBands& resized, HelperThread& helper) {
    ByteChannel channel;
    RowProgress progress;
    TBitmap decoded;
    bool encoded = false;  // the helper's own until it is joined
    HelperRun run(helper);
    const bool started = run.Start(
        [&] {
            jpeg::EncodeBitmap(picture, quality, false, channel);
            channel.Close(false);
            encoded = true;
            resized.bands.Run(resized.helperLane, decoded, &progress);
        },
        [&] {
            if (!encoded) {
                channel.Close(true);
            }
        });
    if (!started) {
        return OnOneThread(picture, quality, depth, steps, resized);
    }
    std::exception_ptr decodeError;
    try {
        jpeg::DecodeInto(channel, depth, decoded, [&](int rows) { progress.Reach(rows); });
    } catch (...) {
        decodeError = std::current_exception();
    }
    // Frees a helper that waits for rows a failed decoding will never give.
    progress.Close();
    std::exception_ptr shrinkError;
    if (!decodeError) {
        try {
            resized.bands.Run(resized.ownLane, decoded);
        } catch (...) {
            shrinkError = std::current_exception();
        }
    }
    if (const std::exception_ptr error = run.Join()) {
        if (!encoded) {
            std::rethrow_exception(error);
        }
        shrinkError = error;
    }
    steps.encodedSize(channel.Size());
    if (decodeError) {
        std::rethrow_exception(decodeError);
    }
    steps.decoded(decoded);
    steps.resizedSize(resized.bitmap.Width(), resized.bitmap.Height());
    if (shrinkError) {
        std::rethrow_exception(shrinkError);
    }
    return std::move(resized.bitmap);
}

}  // namespace

TBitmap EncodeDecodeAndResize(const TBitmap& picture, int quality, int resizePercent,
                              TJPEGDecodeDepth depth, const TPreviewSteps& steps,
                              TStageThreads threads) {
    const int width = PercentSize(picture.Width(), resizePercent);
    const int height = PercentSize(picture.Height(), resizePercent);
    if (threads == TStageThreads::kOne ||
        !ShrinksInBands(picture.Width(), picture.Height(), width, height)) {
        return InOrder(picture, quality, resizePercent, depth, steps, threads);
    }
    std::unique_ptr<ResizedBands> resized;
    try {
        resized = std::make_unique<ResizedBands>(picture, width, height);
    } catch (...) {
        // The stages in order meet the same error where they make the resized bitmap.
        return InOrder(picture, quality, resizePercent, depth, steps, threads);
    }
    const ConversionSlot slot;
    HelperThread helper;
    if (!TakeHelper(helper, threads)) {
        return OnOneThread(picture, quality, depth, steps, *resized);
    }
    return OnTwoThreads(picture, quality, depth, steps, *resized, helper);
}

}  // namespace velmora
