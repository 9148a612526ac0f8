// A compression step's two previews as stages: the picture encoded at the quality and decoded
// again (EncodeAndDecode), then that decoding shrunk to the resize percent (StretchToBitmap).
// On two threads the helper encodes while the calling thread decodes the bytes as they come;
// once the encoding is written, the helper makes the resized bitmap and shrinks the bands of
// target rows whose source rows are already decoded, and the calling thread takes the bands
// left when its decoding ends. The bytes, the order of the steps and the errors are those of the
// stages one after another.
#pragma once

#include <cstdint>
#include <functional>

#include "bitmap.h"
#include "helper_run.h"
#include "jpeg_image.h"

namespace velmora {

// Called on the calling thread, in this order, each once the stages have got that far.
struct TPreviewSteps {
    // The encoding's length, once the encoding is whole.
    std::function<void(uint64_t size)> encodedSize;
    // The decoded picture, whole.
    std::function<void(const TBitmap& decoded)> decoded;
    // The sides of the resized picture, made but not yet drawn.
    std::function<void(int width, int height)> resizedSize;
};

// EncodeAndDecode, then a bitmap of PercentSize of the decoding's sides at resizePercent drawn
// from the decoding with StretchToBitmap, which is returned. An error is raised where the stages
// in order meet it: the encoding's before any step, the decoding's after encodedSize, the
// resized bitmap's allocation after decoded and the shrink's after resizedSize.
TBitmap EncodeDecodeAndResize(const TBitmap& picture, int quality, int resizePercent,
                              TJPEGDecodeDepth depth, const TPreviewSteps& steps,
                              TStageThreads threads = TStageThreads::kAsCoresAllow);

}  // namespace velmora
