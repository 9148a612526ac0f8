// The conversion as stages, written once for every user of the rule: decode the source,
// encode at quality 100 − c, and below r = 100 decode that encoding again, shrink it and encode
// at quality 90. The stages run one after another on the calling thread, or as a pipeline over
// two cores: at r = 100 the decoder hands blocks of rows to the encoder; below 100 the first
// encoder hands its bytes, as it writes them, to the second decoding; and where that leaves
// one side the heavier, the first decoding runs ahead on a third thread (decoded_rows.h).
// Either way the bytes and the errors are the same: an error is caught on the thread that
// raised it (libjpeg's jump never leaves its own thread), the other side is stopped or run
// out, and the error that the stages in order would have met first is raised on the calling
// thread.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "bitmap.h"
#include "conversion_percents.h"
#include "helper_run.h"
#include "jpeg_image.h"
#include "picture_metadata.h"

namespace velmora {

struct TConversionStages {
    ConversionPercents percents;
    TMetadataKept kept;
    TJPEGDecodeDepth depth;
    // The source has multiple scans: the encoding at the quality is progressive too (written
    // baseline below r = 100, where it is only decoded again: the same pixels come back).
    bool progressive;
    TStageThreads threads;
    // Told, on whichever thread, when the rest of the conversion keeps only one core busy for
    // a long stretch: at full size with a progressive encoding, once the source is decoded
    // whole, for the encoder's passes over the whole picture (a runner of one file at a time
    // lets the next file begin then). Other conversions, and one that fails first, never tell
    // it. May be empty.
    std::function<void()> coreFreed = {};
};

// The output bytes for the source bytes. The percents are valid and the budget checked; the
// source is released as soon as the stages are done with it.
std::vector<uint8_t> RunConversionStages(std::vector<uint8_t> source,
                                         const TConversionStages& stages);

// The quality preview's stages: the picture encoded baseline at the quality and decoded again.
// encodedSize gets the encoding's length on the calling thread once the encoding is whole,
// before the decoded picture is returned (or the decoding's error raised).
TBitmap EncodeAndDecode(const TBitmap& picture, int quality, TJPEGDecodeDepth depth,
                        const std::function<void(uint64_t)>& encodedSize,
                        TStageThreads threads = TStageThreads::kAsCoresAllow);

}  // namespace velmora
