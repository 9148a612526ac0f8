// A compression step's two previews drawn as one set of stages: with the shrink beside the
// decoding, the pictures, the size, the order of the steps and the errors are those of the
// stages one after another.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "core/bitmap.h"
#include "core/conversion_stages.h"
#include "core/errors.h"
#include "core/jpeg_image.h"
#include "core/jpeg_reader.h"
#include "core/parallel_shrink.h"
#include "core/preview_stages.h"
#include "core/resize.h"
#include "support/decoded_bytes_limit.h"
#include "support/jpeg_fixture.h"

namespace velmora::test {
namespace {

bool SamePixels(const TBitmap& a, const TBitmap& b) {
    if (a.Width() != b.Width() || a.Height() != b.Height() || a.PixelFormat() != b.PixelFormat()) {
        return false;
    }
    const size_t bytes = size_t(a.Width()) * (a.PixelFormat() == TPixelFormat::pf24bit ? 3 : 1);
    for (int y = 0; y < a.Height(); ++y) {
        if (std::memcmp(a.ScanLine(y), b.ScanLine(y), bytes) != 0) {
            return false;
        }
    }
    return true;
}

// What the steps were given, in the order they were called.
struct Recorded {
    std::vector<std::string> order;
    uint64_t size = 0;
    TBitmap decoded;
    int width = -1;
    int height = -1;

    TPreviewSteps Steps() {
        return {.encodedSize =
                    [this](uint64_t bytes) {
                        order.emplace_back("size");
                        size = bytes;
                    },
                .decoded =
                    [this](const TBitmap& picture) {
                        order.emplace_back("decoded");
                        decoded = picture;
                    },
                .resizedSize =
                    [this](int w, int h) {
                        order.emplace_back("resized size");
                        width = w;
                        height = h;
                    }};
    }
};

TBitmap Decoded(const RawImage& image) {
    const std::vector<uint8_t> bytes = EncodeJpeg(image);
    TBitmap picture;
    jpeg::DecodeInto(bytes.data(), bytes.size(), TJPEGDecodeDepth::jd24bit, picture);
    return picture;
}

const std::vector<std::string> kInOrder = {"size", "decoded", "resized size"};

TEST(EncodeDecodeAndResize, TwoThreadsGiveThePicturesSizeAndStepsOfOne) {
    const TBitmap picture = Decoded(MakePattern(1201, 803));
    struct Case {
        int quality, percent;
        TJPEGDecodeDepth depth;
    };
    const Case cases[] = {
        {75, 50, TJPEGDecodeDepth::jd24bit},  {98, 37, TJPEGDecodeDepth::jd24bit},
        {10, 1, TJPEGDecodeDepth::jd24bit},   {75, 99, TJPEGDecodeDepth::jd8bit},
        {75, 100, TJPEGDecodeDepth::jd24bit}, {75, 0, TJPEGDecodeDepth::jd24bit},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("quality " + std::to_string(c.quality) + " at " + std::to_string(c.percent) +
                     "%");
        // The reference: the stages as separate calls on one thread.
        uint64_t size = 0;
        const TBitmap decoded = EncodeAndDecode(
            picture, c.quality, c.depth, [&](uint64_t bytes) { size = bytes; },
            TStageThreads::kOne);
        TBitmap resized;
        resized.SetWidth(PercentSize(decoded.Width(), c.percent));
        resized.SetHeight(PercentSize(decoded.Height(), c.percent));
        StretchToBitmap(resized, decoded);

        for (const TStageThreads threads : {TStageThreads::kOne, TStageThreads::kTwo}) {
            Recorded recorded;
            const TBitmap result = EncodeDecodeAndResize(picture, c.quality, c.percent, c.depth,
                                                         recorded.Steps(), threads);
            EXPECT_EQ(recorded.order, kInOrder);
            EXPECT_EQ(recorded.size, size);
            EXPECT_TRUE(SamePixels(recorded.decoded, decoded));
            EXPECT_EQ(recorded.width, resized.Width());
            EXPECT_EQ(recorded.height, resized.Height());
            EXPECT_TRUE(SamePixels(result, resized));
        }
    }
}

// The decoding refuses the picture after the encoding is whole: the size is still shown, the
// error reaches the caller and the helper, waiting for rows that never come, is let go.
TEST(EncodeDecodeAndResize, DecodingErrorComesAfterTheSizeAndStopsTheShrink) {
    const TBitmap picture = Decoded(MakePattern(600, 400));
    ASSERT_TRUE(ShrinksInBands(600, 400, 300, 200));
    const ScopedDecodedBytesLimit limit(size_t{600} * 400 * 3 - 1);
    for (const TStageThreads threads : {TStageThreads::kOne, TStageThreads::kTwo}) {
        Recorded recorded;
        EXPECT_THROW(EncodeDecodeAndResize(picture, 75, 50, TJPEGDecodeDepth::jd24bit,
                                           recorded.Steps(), threads),
                     EJPEG);
        EXPECT_EQ(recorded.order, std::vector<std::string>{"size"});
        EXPECT_GT(recorded.size, 0U);
    }
}

}  // namespace
}  // namespace velmora::test
