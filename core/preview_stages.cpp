#include "preview_stages.h"

#include <exception>
#include <latch>
#include <optional>
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

// The resized bitmap and its bands: the decoding of an encoding has the picture's sides.
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

// Encoding, then making the resized bitmap and shrinking the bands already decoded, on the
// helper ‖ decoding, then shrinking the bands left, here: the helper does what it can while the
// decoding, the longer stage, still runs. Errors in the order of the stages: the helper's
// encoding error first, as in EncodeAndDecode, then the decoding's, then the resized bitmap's
// allocation and the shrink's. Nothing when no thread could be had.
std::optional<TBitmap> OnTwoThreads(const TBitmap& picture, int quality, int width, int height,
                                    TJPEGDecodeDepth depth, const TPreviewSteps& steps,
                                    HelperThread& helper) {
    ByteChannel channel;
    RowProgress progress;
    TBitmap decoded;
    // The helper's own until it has counted down made (or is joined).
    bool encoded = false;
    std::optional<ResizedBands> resized;
    std::exception_ptr makeError;
    std::latch made(1);
    HelperRun run(helper);
    const bool started = run.Start(
        [&] {
            jpeg::EncodeBitmap(picture, quality, false, channel);
            channel.Close(false);
            encoded = true;
            try {
                resized.emplace(picture, width, height);
            } catch (...) {
                makeError = std::current_exception();
            }
            made.count_down();
            if (resized) {
                resized->bands.Run(resized->helperLane, decoded, &progress);
            }
        },
        [&] {
            if (!encoded) {
                channel.Close(true);
                made.count_down();
            }
        });
    if (!started) {
        return std::nullopt;
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
        made.wait();
        try {
            if (resized) {
                resized->bands.Run(resized->ownLane, decoded);
            }
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
    if (makeError) {
        std::rethrow_exception(makeError);
    }
    steps.resizedSize(width, height);
    if (shrinkError) {
        std::rethrow_exception(shrinkError);
    }
    return std::move(resized->bitmap);
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
    {
        const ConversionSlot slot;
        HelperThread helper;
        if (TakeHelper(helper, threads)) {
            if (std::optional<TBitmap> resized =
                    OnTwoThreads(picture, quality, width, height, depth, steps, helper)) {
                return std::move(*resized);
            }
        }
    }
    // No second thread to be had: the stages one after another.
    return InOrder(picture, quality, resizePercent, depth, steps, TStageThreads::kOne);
}

}  // namespace velmora
