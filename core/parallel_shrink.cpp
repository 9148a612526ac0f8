#include "parallel_shrink.h"

#include <algorithm>
#include <exception>
#include <new>

#include "errors.h"
#include "helper_thread.h"
#include "resize.h"

namespace velmora {

namespace {

int RowsPerBand(int sourceHeight, int targetHeight) {
    const int64_t rows =
        int64_t{ShrinkBands::kSourceRowsPerBand} * targetHeight / std::max(sourceHeight, 1);
    return static_cast<int>(std::max<int64_t>(rows, 1));
}

}  // namespace

ShrinkBands::ShrinkBands(int sourceWidth, int sourceHeight, TBitmap& target)
    : sourceWidth_(sourceWidth),
      sourceHeight_(sourceHeight),
      targetWidth_(target.Width()),
      targetHeight_(target.Height()),
      // Made its own once here: threads writing rows never detach it.
      targetRows_(target.Empty() ? nullptr : target.ScanLine(0)),
      targetStride_(static_cast<size_t>(target.BytesPerLine())),
      rowsPerBand_(RowsPerBand(sourceHeight, targetHeight_)),
      count_((targetHeight_ + rowsPerBand_ - 1) / rowsPerBand_) {
    // Checks the sizes before any thread draws.
    NewLane();
}

ShrinkBands::Lane ShrinkBands::NewLane() const {
    Lane lane{BoxShrink(sourceWidth_, sourceHeight_, targetWidth_, targetHeight_), {}};
    lane.scratch.resize(static_cast<size_t>(sourceWidth_) * 3);
    return lane;
}

int ShrinkBands::SourceRowsAbove(int targetRows) const {
    const int64_t rows = (int64_t{targetRows} * sourceHeight_ + targetHeight_ - 1) / targetHeight_;
    return static_cast<int>(rows);
}

bool ShrinkBands::Run(Lane& lane, const TBitmap& source, RowProgress* progress) {
    for (int band = next_++; band < count_; band = next_++) {
        const int first = band * rowsPerBand_;
        const int end = std::min(first + rowsPerBand_, targetHeight_);
        if (progress && !progress->WaitFor(SourceRowsAbove(end))) {
            return false;
        }
        int y = lane.shrink.Seek(first);
        for (int row = first; row < end; ++y) {
            uint8_t* target = targetRows_ + static_cast<size_t>(row) * targetStride_;
            if (lane.shrink.AddRow(BgrScanLine(source, y, lane.scratch), target)) {
                ++row;
            }
        }
    }
    return true;
}

bool ShrinksInBands(int sourceWidth, int sourceHeight, int targetWidth, int targetHeight) {
    if (targetWidth < 1 || targetHeight < 1 || targetWidth > sourceWidth ||
        targetHeight > sourceHeight ||
        (targetWidth == sourceWidth && targetHeight == sourceHeight)) {
        return false;
    }
    return targetHeight > RowsPerBand(sourceHeight, targetHeight);
}

void StretchToBitmapInBands(TBitmap& target, const TBitmap& source, TStageThreads threads) {
    if (threads == TStageThreads::kOne ||
        !ShrinksInBands(source.Width(), source.Height(), target.Width(), target.Height())) {
        StretchToBitmap(target, source);
        return;
    }
    target.SetPixelFormat(TPixelFormat::pf24bit);
    try {
        ShrinkBands bands(source.Width(), source.Height(), target);
        ShrinkBands::Lane helperLane = bands.NewLane();
        ShrinkBands::Lane ownLane = bands.NewLane();
        const ConversionSlot slot;
        HelperThread helper;  // joined before the bands go
        HelperRun run(helper);
        const bool started =
            TakeHelper(helper, threads) && run.Start([&] { bands.Run(helperLane, source); }, [] {});
        try {
            bands.Run(ownLane, source);
        } catch (...) {
            run.Join();
            throw;
        }
        if (const std::exception_ptr error = started ? run.Join() : nullptr) {
            std::rethrow_exception(error);
        }
    } catch (const std::bad_alloc&) {
        throw EOutOfMemory();
    }
}

}  // namespace velmora
