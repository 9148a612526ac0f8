// The dithering of plain gray rows held against libjpeg's own quantizing decoder: the same
// levels and the same pixel in every place, over rows long and short, smooth and noisy, and
// content that runs into black and white.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/bitmap.h"
#include "core/gray_dither.h"
#include "core/jpeg_reader.h"
#include "support/jpeg_fixture.h"

namespace velmora::test {
namespace {

RawImage Gray(int width, int height, uint8_t (*value)(int x, int y)) {
    RawImage image{width, height, 1, {}};
    image.samples.resize(size_t(width) * height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            *image.Pixel(x, y) = value(x, y);
        }
    }
    return image;
}

// Blue, green, red rows of the whole decoding: libjpeg quantizing, or plain rows dithered here.
std::vector<uint8_t> Decoded(const std::vector<uint8_t>& jpeg, bool plainGray,
                             std::vector<uint8_t>* levels) {
    jpeg::JpegReader reader(jpeg.data(), jpeg.size());
    reader.ReadHeader(false);
    reader.Start(TJPEGDecodeDepth::jd24bit, plainGray);
    EXPECT_EQ(reader.PlainGray(), plainGray);
    const int width = reader.OutputWidth();
    std::vector<uint8_t> row(static_cast<size_t>(width));
    std::vector<uint8_t> pixels(static_cast<size_t>(width) * 3 * reader.OutputHeight());
    GrayDither dither(width, jpeg::kQuantizedColours);
    const std::vector<TPaletteEntry> palette = reader.Palette();
    for (int y = 0; y < reader.OutputHeight(); ++y) {
        uint8_t* target = pixels.data() + static_cast<size_t>(y) * width * 3;
        reader.ReadRow(row.data());
        if (plainGray) {
            dither.RowToBgr(row.data(), target);
        } else {
            PaletteRowToBgr(row.data(), width, palette, target);
        }
    }
    reader.Finish();
    levels->clear();
    if (plainGray) {
        *levels = dither.Levels();
    } else {
        for (const TPaletteEntry& entry : palette) {
            levels->push_back(entry.red);
        }
    }
    return pixels;
}

TEST(GrayDither, GivesWhatTheQuantizingDecoderGives) {
    const struct {
        std::string name;
        RawImage image;
    } cases[] = {
        {"one pixel", MakePattern(1, 1, 1)},
        {"one column", MakePattern(1, 40, 1)},
        {"two columns, odd rows", MakePattern(2, 9, 1)},
        {"photograph-like", MakePattern(203, 151, 1)},
        {"long rows", MakePattern(1500, 12, 1, 7)},
        {"black and white stripes",
         Gray(64, 48, [](int x, int y) -> uint8_t { return ((x / 3 + y / 5) % 2) ? 255 : 0; })},
        {"every value, rising and falling",
         Gray(256, 33, [](int x, int y) -> uint8_t { return uint8_t(y % 2 ? x : 255 - x); })},
        {"noise",
         Gray(97, 61,
              [](int x, int y) -> uint8_t { return uint8_t((x * 7919 + y * 104729) >> 3); })},
    };
    for (const auto& c : cases) {
        const std::vector<uint8_t> jpeg =
            EncodeJpeg(c.image, {.quality = 95, .model = ColorModel::kGrayscale});
        std::vector<uint8_t> libjpegLevels;
        std::vector<uint8_t> ourLevels;
        const std::vector<uint8_t> reference = Decoded(jpeg, false, &libjpegLevels);
        EXPECT_EQ(Decoded(jpeg, true, &ourLevels), reference) << c.name;
        EXPECT_EQ(ourLevels, libjpegLevels) << c.name;
    }
}

}  // namespace
}  // namespace velmora::test
