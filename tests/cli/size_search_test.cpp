#include "cli/size_search.h"

#include <gtest/gtest.h>

#include <string>

#include "core/compress_file.h"
#include "support/jpeg_fixture.h"

namespace velmora::cli {
namespace {

std::string ErrorOf(const std::vector<uint8_t>& source, uint64_t maxBytes, int lowest, int resize) {
    try {
        ConvertToFit(source, maxBytes, lowest, ResizePercent(resize),
                     TMetadataKept::kOrientationAndProfile);
    } catch (const std::exception& error) {
        return error.what();
    }
    return "no error";
}

// The chosen percent gives exactly the conversion at that percent; one percent less would
// not have fitted.
TEST(ConvertToFitTest, FindsTheLowestPercentThatFits) {
    const std::vector<uint8_t> source =
        test::EncodeJpeg(test::MakePattern(160, 120), {.quality = 95});
    const auto sizeAt = [&](int percent, int resize) {
        return CompressBytes(source, {CompressPercent(percent), ResizePercent(resize)}).size();
    };
    for (const int resize : {100, 70}) {
        for (const int target : {5, 40, 75, 97}) {
            const uint64_t maxBytes = sizeAt(target, resize);
            const FittedConversion fitted = ConvertToFit(source, maxBytes, 0, ResizePercent(resize),
                                                         TMetadataKept::kOrientationAndProfile);
            EXPECT_EQ(fitted.bytes, CompressBytes(source, {CompressPercent(fitted.compressPercent),
                                                           ResizePercent(resize)}));
            EXPECT_LE(fitted.bytes.size(), maxBytes);
            if (resize == 100) {
                // Sizes at full size fall steadily with the percent; below 100 the final
                // encoding is always at quality 90 and the size hardly follows it.
                EXPECT_LE(fitted.compressPercent, target);
            }
            if (fitted.compressPercent > 0) {
                EXPECT_GT(sizeAt(fitted.compressPercent - 1, resize), maxBytes)
                    << resize << " " << target;
            }
        }
    }
    // Room for the best quality: percent 0.
    EXPECT_EQ(
        ConvertToFit(source, 1 << 30, 0, ResizePercent(100), TMetadataKept::kOrientationAndProfile)
            .compressPercent,
        0);
}

TEST(ConvertToFitTest, NeverGoesBelowTheLowestPercentGiven) {
    const std::vector<uint8_t> source = test::EncodeJpeg(test::MakePattern(96, 64));
    EXPECT_EQ(
        ConvertToFit(source, 1 << 30, 40, ResizePercent(100), TMetadataKept::kOrientationAndProfile)
            .compressPercent,
        40);
    // 100 is as far as percent 99 goes: libjpeg's quality 1.
    const FittedConversion last = ConvertToFit(
        source, CompressBytes(source, {CompressPercent(99), ResizePercent(100)}).size(), 100,
        ResizePercent(100), TMetadataKept::kOrientationAndProfile);
    EXPECT_EQ(last.compressPercent, 99);
    EXPECT_EQ(last.bytes, CompressBytes(source, {CompressPercent(100), ResizePercent(100)}));
}

TEST(ConvertToFitTest, AFileThatDoesNotFitAtQuality1Fails) {
    const std::vector<uint8_t> source = test::EncodeJpeg(test::MakePattern(320, 240));
    const size_t smallest = CompressBytes(source, {CompressPercent(99), ResizePercent(100)}).size();
    EXPECT_EQ(ErrorOf(source, smallest - 1, 0, 100),
              "does not fit in " + std::to_string((smallest - 1) / 1024) +
                  " KB even at quality 1 (" + std::to_string(smallest) + " bytes)");
    EXPECT_EQ(ErrorOf({'n', 'o'}, 1024, 0, 100), "JPEG error #53");
}

}  // namespace
}  // namespace velmora::cli
