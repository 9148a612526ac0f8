// Which metadata markers a conversion carries: by default the orientation and the colour
// profile only; with TMetadataKept::kAll every EXIF, XMP, IPTC and comment marker whole.
#include <gtest/gtest.h>

#include <string>

#include "core/compress_file.h"
#include "core/jpeg_image.h"
#include "support/jpeg_fixture.h"

namespace velmora::test {
namespace {

using namespace std::string_literals;

using Markers = std::vector<std::pair<int, std::vector<uint8_t>>>;

constexpr int kApp1 = 0xE1;
constexpr int kApp12 = 0xEC;
constexpr int kApp13 = 0xED;
constexpr int kComment = 0xFE;

std::vector<uint8_t> Body(const std::string& text) {
    return {text.begin(), text.end()};
}

// A phone photo with everything a photo manager writes, and two markers that are not
// metadata of the picture.
std::vector<uint8_t> RichSource(bool progressive) {
    const Markers markers = {
        {kApp1, Body("http://ns.adobe.com/xmp/extension/\0"
                     "0123 more xmp"s)},
        {kApp13, Body("Photoshop 3.0\0"
                      "8BIM\x04\x04 iptc"s)},
        {kComment, Body("taken on the beach")},
        {kApp1, Body("FooCam\0"
                     "maker data"s)},
        {kApp12, Body("Ducky quality 80")},
        {kComment, Body("second comment")},
    };
    return EncodeJpeg(MakePattern(40, 30), {.progressive = progressive,
                                            .exifOrientation = 6,
                                            .exifWithGps = true,
                                            .xmpBeforeExif = true,
                                            .iccProfile = MakeIccProfile(3000),
                                            .markers = markers});
}

// The source's markers without those that are not carried (the maker's APP1, the APP12).
Markers CarriedMarkers(const std::vector<uint8_t>& source) {
    Markers carried;
    for (const auto& marker : ReadFacts(source).metadataMarkers) {
        const bool makerApp1 =
            marker.first == kApp1 && std::string(marker.second.begin(), marker.second.end())
                                         .starts_with(std::string_view("FooCam\0", 7));
        if (marker.first != kApp12 && !makerApp1) {
            carried.push_back(marker);
        }
    }
    return carried;
}

TEST(MetadataKept, AllCarriesEveryExifXmpIptcAndCommentMarkerInFileOrder) {
    for (const bool progressive : {false, true}) {
        const std::vector<uint8_t> source = RichSource(progressive);
        const Markers expected = CarriedMarkers(source);
        ASSERT_EQ(expected.size(), 6u) << "XMP, EXIF, extended XMP, IPTC and two comments";
        for (const int r : {100, 50}) {
            const std::vector<uint8_t> output =
                CompressBytes(source, {CompressPercent(25), ResizePercent(r)}, TMetadataKept::kAll);
            const JpegFacts facts = ReadFacts(output);
            EXPECT_EQ(facts.metadataMarkers, expected) << progressive << " " << r;
            EXPECT_EQ(facts.app2Count, 1) << "the profile, once";

            TJPEGImage picture;
            picture.LoadPictureBytes(output);
            EXPECT_EQ(picture.Pixels().Metadata().orientation, 6);
            EXPECT_EQ(picture.Pixels().Metadata().iccProfile, MakeIccProfile(3000));
        }
    }
}

TEST(MetadataKept, ByDefaultOnlyTheOrientationAndProfileAreCarried) {
    const std::vector<uint8_t> source = RichSource(false);
    const std::vector<uint8_t> bare =
        EncodeJpeg(MakePattern(40, 30), {.exifOrientation = 6, .iccProfile = MakeIccProfile(3000)});
    for (const int r : {100, 50}) {
        const std::vector<uint8_t> output =
            CompressBytes(source, {CompressPercent(25), ResizePercent(r)});
        EXPECT_EQ(output, CompressBytes(source, {CompressPercent(25), ResizePercent(r)},
                                        TMetadataKept::kOrientationAndProfile));
        // The same bytes as for a source that never had the other markers.
        EXPECT_EQ(output, CompressBytes(bare, {CompressPercent(25), ResizePercent(r)})) << r;
        const JpegFacts facts = ReadFacts(output);
        ASSERT_EQ(facts.metadataMarkers.size(), 1u);
        EXPECT_EQ(facts.metadataMarkers[0].second.size(), 32u) << "the orientation-only EXIF";
    }
}

TEST(MetadataKept, AllWithoutAnyMetadataGivesTheDefaultOutput) {
    const std::vector<uint8_t> source = EncodeJpeg(MakePattern(40, 30), {.exifOrientation = 3});
    const std::vector<uint8_t> plain = EncodeJpeg(MakePattern(40, 30));
    for (const int r : {100, 50}) {
        EXPECT_EQ(
            CompressBytes(plain, {CompressPercent(25), ResizePercent(r)}, TMetadataKept::kAll),
            CompressBytes(plain, {CompressPercent(25), ResizePercent(r)}));
        // The whole EXIF block stands in for the orientation-only one: never two of them.
        EXPECT_EQ(ReadFacts(CompressBytes(source, {CompressPercent(25), ResizePercent(r)},
                                          TMetadataKept::kAll))
                      .metadataMarkers,
                  ReadFacts(source).metadataMarkers);
    }
}

}  // namespace
}  // namespace velmora::test
