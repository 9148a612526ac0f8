// The area-averaging shrink of StretchToBitmap cut into bands of target rows that two threads
// share.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "bitmap.h"
#include "box_shrink.h"
#include "helper_run.h"
#include "row_progress.h"

namespace velmora {

// Bands of target rows, each drawn on its own from the source rows that cover it
// (BoxShrink::Seek), taken in turn from the top by whichever thread asks next: however the
// bands fall to the threads, every target pixel is the same mean as StretchToBitmap's.
class ShrinkBands {
  public:
    // The source rows a band covers at most: few enough that a thread which follows a decoder
    // keeps close behind it, enough that the source row two bands share is rarely added twice.
    static constexpr int kSourceRowsPerBand = 64;

    // One thread's shrink and row buffer, made on the calling thread so that a thread drawing
    // bands allocates nothing.
    struct Lane {
        BoxShrink shrink;
        std::vector<uint8_t> scratch;  // a palette source's row as blue, green, red
    };

    // The target is 24-bit and sized, both sides from 1 up to the source's (BoxShrink's
    // errors otherwise); its storage is made its own here and must stay so while bands are
    // drawn.
    ShrinkBands(int sourceWidth, int sourceHeight, TBitmap& target);
    ShrinkBands(const ShrinkBands&) = delete;
    ShrinkBands& operator=(const ShrinkBands&) = delete;

    int Count() const { return count_; }
    Lane NewLane() const;

    // Draws bands no other thread has taken, until none is left, from a source of the sides
    // given above. With progress, first waits for the source rows each band covers; false when
    // they will not come (the band is left undrawn).
    bool Run(Lane& lane, const TBitmap& source, RowProgress* progress = nullptr);

  private:
    // The source rows, from the top, that target rows above `targetRows` are drawn from.
    int SourceRowsAbove(int targetRows) const;

    int sourceWidth_;
    int sourceHeight_;
    int targetWidth_;
    int targetHeight_;
    uint8_t* targetRows_;
    size_t targetStride_;
    int rowsPerBand_;
    int count_;
    std::atomic<int> next_{0};
};

// Whether a shrink between these sides is drawn in more than one band; false also for the
// sizes StretchToBitmap copies, refuses or draws nothing at.
bool ShrinksInBands(int sourceWidth, int sourceHeight, int targetWidth, int targetHeight);

// StretchToBitmap, its bands shared with a helper thread when `threads` allows: the same bytes
// and the same errors.
void StretchToBitmapInBands(TBitmap& target, const TBitmap& source,
                            TStageThreads threads = TStageThreads::kAsCoresAllow);

}  // namespace velmora
