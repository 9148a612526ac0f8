// The decoding that runs ahead on a thread of its own gives the rows of the decoding on the
// reading thread, and ends cleanly however early the reader gives up.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/decoded_rows.h"
#include "core/helper_thread.h"
#include "support/jpeg_fixture.h"

namespace velmora::test {
namespace {

struct Picture {
    std::string name;
    std::vector<uint8_t> bytes;
    TJPEGDecodeDepth depth = TJPEGDecodeDepth::jd24bit;
};

// Tall enough that the decoding fills every block and waits for the reader.
std::vector<Picture> Pictures() {
    return {
        {"colour", EncodeJpeg(MakePattern(45, 203))},
        {"grayscale", EncodeJpeg(MakePattern(45, 203, 1), {.model = ColorModel::kGrayscale})},
        {"progressive grayscale",
         EncodeJpeg(MakePattern(45, 203, 1),
                    {.model = ColorModel::kGrayscale, .progressive = true})},
        {"colour at 8 bits", EncodeJpeg(MakePattern(45, 203)), TJPEGDecodeDepth::jd8bit},
    };
}

// Every row, alternately through Next and ReadInto.
std::vector<uint8_t> AllRows(DecodedRows& rows) {
    const size_t rowBytes = static_cast<size_t>(rows.Width()) * 3;
    std::vector<uint8_t> pixels(rowBytes * static_cast<size_t>(rows.Height()));
    for (int y = 0; y < rows.Height(); ++y) {
        uint8_t* target = pixels.data() + rowBytes * static_cast<size_t>(y);
        if (y % 2) {
            rows.ReadInto(target);
        } else {
            const uint8_t* row = rows.Next();
            std::copy(row, row + rowBytes, target);
        }
    }
    rows.Finish();
    return pixels;
}

TEST(DecodedRows, AheadOnAThreadGivesTheRowsOfTheReadingThread) {
    for (const Picture& picture : Pictures()) {
        DecodedRows here(picture.bytes, picture.depth, TMetadataKept::kOrientationAndProfile);
        const std::vector<uint8_t> reference = AllRows(here);
        HelperThread thread;
        DecodedRows ahead(picture.bytes, picture.depth, TMetadataKept::kOrientationAndProfile,
                          &thread, TDecodingThread::kAny);
        EXPECT_EQ(AllRows(ahead), reference) << picture.name;
    }
}

TEST(DecodedRows, ReaderThatGivesUpEndsTheDecoding) {
    for (const Picture& picture : Pictures()) {
        for (int read : {0, 1, 100}) {
            HelperThread thread;
            DecodedRows ahead(picture.bytes, picture.depth, TMetadataKept::kOrientationAndProfile,
                              &thread, TDecodingThread::kAny);
            for (int y = 0; y < read; ++y) {
                ahead.Next();
            }
            // Leaving the scope stops the decoding, waiting for a free block or not, and
            // joins it.
        }
    }
}

TEST(DecodedRows, ErrorAfterTheRowsIsRaisedByFinish) {
    HelperThread thread;
    const std::vector<uint8_t> bytes = WithBadTableAfterScan(
        EncodeJpeg(MakePattern(45, 203, 1), {.model = ColorModel::kGrayscale}));
    DecodedRows ahead(bytes, TJPEGDecodeDepth::jd24bit, TMetadataKept::kOrientationAndProfile,
                      &thread, TDecodingThread::kAny);
    for (int y = 0; y < ahead.Height(); ++y) {
        ahead.Next();
    }
    EXPECT_ANY_THROW(ahead.Finish());
}

}  // namespace
}  // namespace velmora::test
