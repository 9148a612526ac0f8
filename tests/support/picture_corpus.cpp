#include "picture_corpus.h"

namespace velmora::test {

std::vector<NamedJpeg> CorpusPictures() {
    const RawImage colour = MakePattern(19, 13);
    const RawImage gray = MakePattern(19, 13, 1);
    const RawImage four = MakePattern(19, 13, 4);
    const RawImage two = MakePattern(9, 7, 2);
    std::vector<NamedJpeg> seeds = {
        {"baseline", EncodeJpeg(colour)},
        {"progressive", EncodeJpeg(colour, {.progressive = true})},
        {"gray", EncodeJpeg(gray, {.model = ColorModel::kGrayscale})},
        {"gray-progressive",
         EncodeJpeg(gray, {.model = ColorModel::kGrayscale, .progressive = true})},
        {"cmyk-adobe", EncodeJpeg(four, {.model = ColorModel::kCmykAdobe})},
        {"cmyk-plain", EncodeJpeg(four, {.model = ColorModel::kCmykPlain})},
        {"ycck", EncodeJpeg(four, {.model = ColorModel::kYcck})},
        {"ycck-progressive", EncodeJpeg(four, {.model = ColorModel::kYcck, .progressive = true})},
        {"rgb", EncodeJpeg(colour, {.model = ColorModel::kRgb})},
        {"two-components", EncodeJpeg(two, {.model = ColorModel::kTwoComponents})},
        {"restart", EncodeJpeg(colour, {.restartInterval = 1})},
        {"restart-progressive", EncodeJpeg(colour, {.progressive = true, .restartInterval = 2})},
        {"444", EncodeJpeg(colour, {.hSampling = 1, .vSampling = 1})},
        {"422", EncodeJpeg(colour, {.hSampling = 2, .vSampling = 1})},
        {"440", EncodeJpeg(colour, {.hSampling = 1, .vSampling = 2})},
        {"arithmetic", EncodeJpeg(colour, {.arithmetic = true})},
        {"arithmetic-progressive", EncodeJpeg(colour, {.progressive = true, .arithmetic = true})},
        {"optimized", EncodeJpeg(colour, {.optimize = true})},
        {"quality1", EncodeJpeg(colour, {.quality = 1})},
        {"quality100", EncodeJpeg(colour, {.quality = 100})},
        {"row", EncodeJpeg(MakePattern(23, 1))},
        {"column", EncodeJpeg(MakePattern(1, 23))},
        {"pixel", EncodeJpeg(MakePattern(1, 1), {.progressive = true})},
        {"exif-icc", EncodeJpeg(colour, {.exifOrientation = 6, .iccProfile = MakeIccProfile(300)})},
        {"exif-gps", EncodeJpeg(colour, {.exifOrientation = 8, .exifWithGps = true})},
    };
    // Cut in the middle of the scan data and in the middle of the header.
    std::vector<uint8_t> truncated = EncodeJpeg(MakePattern(40, 30));
    truncated.resize(truncated.size() * 2 / 3);
    seeds.push_back({"truncated-scan", truncated});
    truncated.resize(200);
    seeds.push_back({"truncated-header", truncated});
    std::vector<uint8_t> progressiveCut = EncodeJpeg(MakePattern(40, 30), {.progressive = true});
    progressiveCut.resize(progressiveCut.size() / 2);
    seeds.push_back({"truncated-progressive", progressiveCut});
    return seeds;
}

}  // namespace velmora::test
