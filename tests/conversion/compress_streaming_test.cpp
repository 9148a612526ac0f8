// The streaming conversion held against the frame-by-frame one: the same output bytes for
// every kind of source and every percent, and the same error wherever one fails.
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <type_traits>

#include "core/compress_file.h"
#include "core/compress_reference.h"
#include "core/errors.h"
#include "core/jpeg_image.h"
#include "support/jpeg_fixture.h"
#include "support/picture_corpus.h"

namespace velmora::test {
namespace {

struct Source {
    std::string name;
    std::vector<uint8_t> bytes;
};

std::vector<uint8_t> Truncated(std::vector<uint8_t> bytes, size_t size) {
    bytes.resize(size);
    return bytes;
}

std::vector<Source> ColourAndGraySources() {
    return {
        {"baseline odd size", EncodeJpeg(MakePattern(37, 23))},
        {"progressive", EncodeJpeg(MakePattern(41, 29), {.progressive = true})},
        {"grayscale", EncodeJpeg(MakePattern(33, 27, 1), {.model = ColorModel::kGrayscale})},
        {"progressive grayscale",
         EncodeJpeg(MakePattern(26, 35, 1),
                    {.model = ColorModel::kGrayscale, .progressive = true})},
        {"cmyk adobe", EncodeJpeg(MakePattern(19, 21, 4), {.model = ColorModel::kCmykAdobe})},
        {"cmyk plain", EncodeJpeg(MakePattern(21, 19, 4), {.model = ColorModel::kCmykPlain})},
        {"ycck", EncodeJpeg(MakePattern(18, 22, 4), {.model = ColorModel::kYcck})},
    };
}

std::vector<Source> AllSources() {
    std::vector<Source> sources = ColourAndGraySources();
    const std::vector<Source> more = {
        {"rgb", EncodeJpeg(MakePattern(23, 17), {.model = ColorModel::kRgb})},
        {"4:4:4", EncodeJpeg(MakePattern(30, 20), {.hSampling = 1, .vSampling = 1})},
        {"4:2:2", EncodeJpeg(MakePattern(30, 20), {.hSampling = 2, .vSampling = 1})},
        {"arithmetic", EncodeJpeg(MakePattern(24, 24), {.arithmetic = true})},
        {"restart markers", EncodeJpeg(MakePattern(40, 24), {.restartInterval = 2})},
        {"one pixel", EncodeJpeg(MakePattern(1, 1))},
        {"one row", EncodeJpeg(MakePattern(57, 1))},
        {"one column", EncodeJpeg(MakePattern(1, 43))},
        {"orientation and profile",
         EncodeJpeg(MakePattern(28, 20),
                    {.exifOrientation = 6, .iccProfile = MakeIccProfile(70000)})},
        {"truncated", Truncated(EncodeJpeg(MakePattern(64, 64)), 900)},
        {"grayscale truncated",
         Truncated(EncodeJpeg(MakePattern(64, 64, 1), {.model = ColorModel::kGrayscale}), 700)},
        {"many rows", EncodeJpeg(MakePattern(203, 151), {.quality = 97})},
    };
    sources.insert(sources.end(), more.begin(), more.end());
    return sources;
}

// The stages one after another, and as a pipeline over two threads.
constexpr TStageThreads kThreads[] = {TStageThreads::kOne, TStageThreads::kTwo};

const char* ThreadsName(TStageThreads threads) {
    return threads == TStageThreads::kOne ? "one thread" : "two threads";
}

// Reports where two outputs part rather than printing them whole.
::testing::AssertionResult SameBytes(const std::vector<uint8_t>& streamed,
                                     const std::vector<uint8_t>& reference) {
    if (streamed == reference) {
        return ::testing::AssertionSuccess();
    }
    size_t at = 0;
    while (at < streamed.size() && at < reference.size() && streamed[at] == reference[at]) {
        ++at;
    }
    return ::testing::AssertionFailure() << streamed.size() << " bytes against " << reference.size()
                                         << ", first difference at " << at;
}

void ExpectSameOutputs(const std::vector<Source>& sources, std::initializer_list<int> compress,
                       std::initializer_list<int> resize) {
    for (const Source& source : sources) {
        for (int c : compress) {
            for (int r : resize) {
                const ConversionPercents percents{CompressPercent(c), ResizePercent(r)};
                const std::vector<uint8_t> reference =
                    CompressBytesFrameByFrame(source.bytes, percents);
                for (const TStageThreads threads : kThreads) {
                    EXPECT_TRUE(
                        SameBytes(CompressBytes(source.bytes, percents,
                                                TMetadataKept::kOrientationAndProfile, threads),
                                  reference))
                        << source.name << ", c = " << c << ", r = " << r << ", "
                        << ThreadsName(threads);
                }
            }
        }
    }
}

TEST(CompressStreaming, SameBytesAsFrameByFrame) {
    ExpectSameOutputs(AllSources(), {0, 25, 100}, {0, 1, 50, 99, 100});
}

// Only a progressive encoding at full size keeps one core busy on its own once its source is
// decoded, and only such a conversion says so, once, on whichever thread decoded the source.
TEST(CompressStreaming, ACoreIsFreedOnlyForAProgressiveEncodersPasses) {
    struct Case {
        const char* name;
        std::vector<uint8_t> bytes;
        int resize;
        int told;
    };
    const std::vector<uint8_t> progressive = EncodeJpeg(MakePattern(96, 80), {.progressive = true});
    const Case cases[] = {
        {"progressive at full size", progressive, 100, 1},
        {"progressive grayscale at full size",
         EncodeJpeg(MakePattern(64, 48, 1), {.model = ColorModel::kGrayscale, .progressive = true}),
         100, 1},
        {"progressive shrunk", progressive, 50, 0},
        {"baseline at full size", EncodeJpeg(MakePattern(96, 80)), 100, 0},
        {"progressive cut short", Truncated(progressive, 200), 100, 0},
    };
    for (const Case& c : cases) {
        for (const TStageThreads threads : kThreads) {
            std::atomic<int> told{0};
            try {
                CompressBytes(c.bytes, {CompressPercent(25), ResizePercent(c.resize)},
                              TMetadataKept::kOrientationAndProfile, threads, [&] { ++told; });
            } catch (const Exception&) {
                // A failing conversion tells nothing either.
            }
            EXPECT_EQ(told, c.told) << c.name << ", " << ThreadsName(threads);
        }
    }
}

TEST(CompressStreaming, ResizedOutputsHaveTheirSize) {
    // Guards the comparison above against two paths that agree on something trivial.
    const auto bytes = EncodeJpeg(MakePattern(203, 151));
    TJPEGImage out;
    out.LoadPictureBytes(CompressBytes(bytes, {CompressPercent(25), ResizePercent(50)}));
    EXPECT_EQ(out.Width(), 102);  // 101.5 goes to the even neighbour
    EXPECT_EQ(out.Height(), 76);  // 75.5 likewise
    EXPECT_TRUE(CompressBytes(bytes, {CompressPercent(25), ResizePercent(0)}).empty());
}

// A palette display decodes every picture to 236 colours, colour sources through libjpeg's
// two-pass quantizer.
class CompressStreamingAt8Bit : public ::testing::Test {
  protected:
    void SetUp() override { TJPEGImage::SetDefaultDecodeDepth(TJPEGDecodeDepth::jd8bit); }
    void TearDown() override { TJPEGImage::SetDefaultDecodeDepth(TJPEGDecodeDepth::jd24bit); }
};

TEST_F(CompressStreamingAt8Bit, SameBytesAsFrameByFrame) {
    ExpectSameOutputs(ColourAndGraySources(), {25}, {50, 100});
}

std::string ErrorOf(const std::function<void()>& conversion) {
    try {
        conversion();
    } catch (const std::exception& error) {
        return error.what();
    }
    return "no error";
}

// The two percents go in by name; the wrong order, or two bare numbers, does not compile.
static_assert(!std::is_constructible_v<ConversionPercents, ResizePercent, CompressPercent>);
static_assert(!std::is_constructible_v<ConversionPercents, int, int>);

TEST(CompressStreaming, FailsWhereFrameByFrameFails) {
    const std::vector<Source> failing = {
        {"empty", {}},
        {"not a jpeg", {'h', 'e', 'l', 'l', 'o'}},
        {"header cut short", Truncated(EncodeJpeg(MakePattern(16, 16)), 30)},
        {"bad table after the scan", WithBadTableAfterScan(EncodeJpeg(MakePattern(32, 16)))},
        {"two components", EncodeJpeg(RawImage{8, 8, 2, std::vector<uint8_t>(128, 100)},
                                      {.model = ColorModel::kTwoComponents})},
        {"too big", ClaimingFrameSize(EncodeJpeg(MakePattern(16, 16)), 65500, 65500)},
        // Fails once every row was handed on: the encoder, or the second decoding waiting
        // for bytes inside libjpeg, must be stopped on its own thread.
        {"bad table after many rows",
         WithBadTableAfterScan(EncodeJpeg(MakePattern(203, 151), {.quality = 97}))},
        {"grayscale, bad table after many rows",
         WithBadTableAfterScan(EncodeJpeg(MakePattern(203, 151, 1),
                                          {.quality = 97, .model = ColorModel::kGrayscale}))},
        {"progressive, bad table after the scans",
         WithBadTableAfterScan(EncodeJpeg(MakePattern(90, 70), {.progressive = true}))},
    };
    for (const Source& source : failing) {
        for (int r : {100, 50, 0}) {
            const std::string reference = ErrorOf([&] {
                CompressBytesFrameByFrame(source.bytes, {CompressPercent(25), ResizePercent(r)});
            });
            EXPECT_NE(reference, "no error") << source.name;
            for (const TStageThreads threads : kThreads) {
                EXPECT_EQ(ErrorOf([&] {
                              CompressBytes(source.bytes, {CompressPercent(25), ResizePercent(r)},
                                            TMetadataKept::kOrientationAndProfile, threads);
                          }),
                          reference)
                    << source.name << ", r = " << r << ", " << ThreadsName(threads);
            }
        }
    }
    EXPECT_EQ(ErrorOf([] {
                  CompressBytes({}, {CompressPercent(101), ResizePercent(50)});
              }),
              "Percent out of range");
    EXPECT_EQ(ErrorOf([] {
                  CompressBytes({}, {CompressPercent(25), ResizePercent(-1)});
              }),
              "Percent out of range");
}

// The fuzzers' pictures, valid and damaged, and those damaged before their first row: on one
// thread and on two, each gives the reference's bytes or fails with its error.
TEST(CompressStreaming, FuzzCorpusConvertsAsFrameByFrame) {
    std::vector<NamedJpeg> pictures = CorpusPictures();
    for (NamedJpeg& picture : FailingBeforeTheFirstRow()) {
        pictures.push_back(std::move(picture));
    }
    for (const NamedJpeg& picture : pictures) {
        for (int r : {100, 50}) {
            const ConversionPercents percents{CompressPercent(25), ResizePercent(r)};
            std::vector<uint8_t> reference;
            const std::string referenceError =
                ErrorOf([&] { reference = CompressBytesFrameByFrame(picture.bytes, percents); });
            for (const TStageThreads threads : kThreads) {
                std::vector<uint8_t> streamed;
                EXPECT_EQ(ErrorOf([&] {
                              streamed =
                                  CompressBytes(picture.bytes, percents,
                                                TMetadataKept::kOrientationAndProfile, threads);
                          }),
                          referenceError)
                    << picture.name << ", r = " << r << ", " << ThreadsName(threads);
                EXPECT_TRUE(SameBytes(streamed, reference))
                    << picture.name << ", r = " << r << ", " << ThreadsName(threads);
            }
        }
    }
}

}  // namespace
}  // namespace velmora::test
