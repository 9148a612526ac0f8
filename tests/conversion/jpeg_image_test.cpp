// The JPEG picture: loading, decoding and encoding profiles, state rules and errors.
#include <gtest/gtest.h>

#include <jerror.h>

#include "bitmap_convert.h"
#include "core/errors.h"
#include "core/jpeg_image.h"
#include "core/stream.h"
#include "support/jpeg_fixture.h"
#include "support/temp_dir.h"

namespace velmora::test {
namespace {

TJPEGImage Loaded(const std::vector<uint8_t>& bytes) {
    TJPEGImage picture;
    picture.LoadPictureBytes(bytes);
    return picture;
}

int JpegErrorCode(const std::function<void()>& action) {
    try {
        action();
    } catch (const EJPEG& error) {
        return error.Code();
    }
    return -1;
}

std::vector<uint8_t> EncodeBitmapAt(const TBitmap& bitmap, uint8_t quality) {
    TJPEGImage picture;
    picture.CopyPicture(bitmap);
    picture.SetQuality(quality);
    picture.Encode();
    return picture.EncodedBytes();
}

TEST(JpegLoad, HeaderGivesSizeGrayscaleAndScanMode) {
    const RawImage pattern = MakePattern(37, 21);
    TJPEGImage baseline = Loaded(EncodeJpeg(pattern));
    EXPECT_EQ(baseline.Width(), 37);
    EXPECT_EQ(baseline.Height(), 21);
    EXPECT_FALSE(baseline.Grayscale());
    EXPECT_FALSE(baseline.Progressive());
    EXPECT_FALSE(baseline.HasPixels());

    EncodeOptions progressive;
    progressive.progressive = true;
    EXPECT_TRUE(Loaded(EncodeJpeg(pattern, progressive)).Progressive());

    EncodeOptions gray;
    gray.model = ColorModel::kGrayscale;
    EXPECT_TRUE(Loaded(EncodeJpeg(MakePattern(8, 8, 1), gray)).Grayscale());
}

TEST(JpegLoad, FailuresCarryLibjpegCodes) {
    // Not a JPEG at all: no start-of-image marker.
    EXPECT_EQ(JpegErrorCode([] { Loaded({'h', 'e', 'l', 'l', 'o'}); }), JERR_NO_SOI);
    EXPECT_EQ(JERR_NO_SOI, 53);

    // An empty file loads; the first request for pixels finds no data.
    TJPEGImage empty = Loaded({});
    EXPECT_TRUE(empty.Empty());
    EXPECT_EQ(JpegErrorCode([&] { empty.Pixels(); }), 42);

    TempDir dir;
    TJPEGImage missing;
    try {
        missing.LoadPictureFile(dir.File("none.jpg"));
        FAIL() << "no error";
    } catch (const EFOpenError& error) {
        EXPECT_EQ(std::string(error.what()),
                  "Cannot open file \"" + dir.File("none.jpg") + "\". No such file or directory");
    }
}

// A file is refused from its first two bytes, before it is read whole, with exactly the error
// that parsing all of it would give; what passes the look loads as the bytes would.
TEST(JpegLoad, FilesAreRefusedFromTheirStartAsTheirBytesWouldBe) {
    const std::vector<uint8_t> jpeg = EncodeJpeg(MakePattern(8, 8));
    const std::vector<std::vector<uint8_t>> files = {
        {},           {0xFF},
        {0xD8},       {0xFF, 0xD9},
        {0xD8, 0xFF}, {'h', 'e', 'l', 'l', 'o'},
        {0xFF, 0xD8}, {0xFF, 0xD8, 0xFF},
        jpeg,         {jpeg.begin(), jpeg.begin() + 20},
    };
    TempDir dir;
    for (const std::vector<uint8_t>& bytes : files) {
        WriteBytes(dir.File("x.jpg"), bytes);
        TJPEGImage fromFile;
        const int fileCode = JpegErrorCode([&] { fromFile.LoadPictureFile(dir.File("x.jpg")); });
        EXPECT_EQ(fileCode, JpegErrorCode([&] { Loaded(bytes); })) << bytes.size() << " bytes";
        if (fileCode < 0) {
            EXPECT_EQ(fromFile.EncodedBytes(), bytes);
        }
    }
}

TEST(JpegLoad, StreamIsReadFromItsPositionAndShortStreamsFail) {
    const auto bytes = EncodeJpeg(MakePattern(16, 16));
    TMemoryStream stream;
    stream.WriteBuffer("junk", 4);
    stream.WriteBuffer(bytes.data(), bytes.size());
    stream.SetPosition(4);
    TJPEGImage picture;
    picture.LoadPictureStream(stream);
    EXPECT_EQ(picture.EncodedBytes(), bytes);

    struct ShortStream : TStream {
        int64_t Size() const override { return 100; }
        int64_t Position() const override { return 0; }
        void SetPosition(int64_t) override {}
        size_t Read(void*, size_t) override { return 10; }
        void WriteBuffer(const void*, size_t) override {}
    } shortStream;
    EXPECT_THROW(picture.LoadPictureStream(shortStream), EReadError);
}

TEST(MemoryStream, WritesOverwriteAppendAndFillGapsAndReadsToTheEnd) {
    TMemoryStream stream;
    stream.WriteBuffer("abcdef", 6);
    stream.SetPosition(2);
    stream.WriteBuffer("XY", 2);
    stream.SetPosition(8);
    stream.WriteBuffer("Z", 1);
    const std::vector<uint8_t> written = {'a', 'b', 'X', 'Y', 'e', 'f', 0, 0, 'Z'};
    EXPECT_EQ(stream.Data(), written);
    stream.SetPosition(3);
    EXPECT_EQ(stream.ReadToEnd(), std::vector<uint8_t>(written.begin() + 3, written.end()));
    EXPECT_EQ(stream.Position(), 9);
    EXPECT_TRUE(stream.ReadToEnd().empty());
}

TEST(JpegDecode, MatchesLibjpegWithTheProfileAndKeepsRedAndBlue) {
    const auto bytes = EncodeJpeg(MakePattern(45, 33));
    const RawImage reference = DecodeReference(bytes);
    TJPEGImage picture = Loaded(bytes);
    const TBitmap& pixels = picture.Pixels();
    ASSERT_EQ(pixels.PixelFormat(), TPixelFormat::pf24bit);
    ASSERT_EQ(pixels.Width(), 45);
    EXPECT_EQ(pixels.BytesPerLine(), 136);  // 135 padded to a multiple of 4
    for (int y = 0; y < reference.height; ++y) {
        for (int x = 0; x < reference.width; ++x) {
            const uint8_t* rgb = reference.Pixel(x, y);
            ASSERT_EQ(RgbAt(pixels, x, y), (std::array<uint8_t, 3>{rgb[0], rgb[1], rgb[2]}))
                << x << "," << y;
        }
    }

    TJPEGImage red = Loaded(EncodeJpeg(MakeSolid(16, 16, 255, 0, 0), {.quality = 100}));
    const auto colour = RgbAt(red.Pixels(), 8, 8);
    EXPECT_GT(colour[0], 240);
    EXPECT_LT(colour[2], 15);
}

TEST(JpegDecode, GrayscaleBecomes236GrayPaletteAndReencodesInColourModel) {
    EncodeOptions gray;
    gray.model = ColorModel::kGrayscale;
    TJPEGImage picture = Loaded(EncodeJpeg(MakePattern(40, 30, 1), gray));
    const TBitmap& pixels = picture.Pixels();
    ASSERT_EQ(pixels.PixelFormat(), TPixelFormat::pf8bit);
    ASSERT_EQ(pixels.Palette().size(), 236u);
    for (const TPaletteEntry& entry : pixels.Palette()) {
        EXPECT_TRUE(entry.red == entry.green && entry.green == entry.blue && entry.flags == 0);
    }
    TBitmap copy;
    copy.CopyPicture(picture);
    const JpegFacts facts = ReadFacts(EncodeBitmapAt(copy, 75));
    EXPECT_EQ(facts.components, 3);
}

TEST(JpegDecode, TruncatedFileDecodesToFullSize) {
    auto bytes = EncodeJpeg(MakePattern(64, 64));
    bytes.resize(bytes.size() / 2);
    TJPEGImage picture = Loaded(bytes);
    EXPECT_EQ(picture.Pixels().Width(), 64);
    EXPECT_EQ(picture.Pixels().Height(), 64);
}

TEST(JpegDecode, FatalErrorOnceThenThePixelsItGot) {
    // A broken table definition after the scan is met only when decoding finishes.
    TJPEGImage picture = Loaded(WithBadTableAfterScan(EncodeJpeg(MakePattern(32, 16))));
    EXPECT_EQ(JpegErrorCode([&] { picture.Pixels(); }), JERR_DHT_INDEX);
    const TBitmap& kept = picture.Pixels();
    EXPECT_EQ(kept.Width(), 32);
    EXPECT_EQ(kept.Height(), 16);
}

TEST(JpegDecode, EveryAcceptedKindDecodes) {
    struct Case {
        const char* name;
        EncodeOptions options;
        int components;
    };
    const std::vector<Case> cases = {
        {"progressive", {.progressive = true}, 3},
        {"arithmetic", {.arithmetic = true}, 3},
        {"restart markers", {.restartInterval = 2}, 3},
        {"4:4:4", {.hSampling = 1, .vSampling = 1}, 3},
        {"4:2:2", {.hSampling = 2, .vSampling = 1}, 3},
        {"optimized huffman", {.optimize = true}, 3},
        {"rgb", {.model = ColorModel::kRgb}, 3},
    };
    for (const Case& c : cases) {
        const auto bytes = EncodeJpeg(MakePattern(19, 23, c.components), c.options);
        TJPEGImage picture = Loaded(bytes);
        EXPECT_EQ(picture.Pixels().Width(), 19) << c.name;
        EXPECT_EQ(picture.Pixels().Height(), 23) << c.name;
    }
}

TEST(JpegDecode, FourComponentPicturesBecomeTheirColours) {
    // Ink values for a mid orange: C 0, M 128, Y 255, K 0 gives red 255, green 127, blue 0.
    RawImage ink{8, 8, 4, {}};
    for (int i = 0; i < 64; ++i) {
        ink.samples.insert(ink.samples.end(), {0, 128, 255, 0});
    }
    RawImage inverted = ink;
    for (auto& v : inverted.samples) {
        v = uint8_t(255 - v);
    }
    struct Case {
        const char* name;
        const RawImage& samples;
        ColorModel model;
    };
    for (const Case& c :
         {Case{"adobe", inverted, ColorModel::kCmykAdobe},
          Case{"ycck", inverted, ColorModel::kYcck}, Case{"plain", ink, ColorModel::kCmykPlain}}) {
        TJPEGImage picture = Loaded(EncodeJpeg(c.samples, {.quality = 100, .model = c.model}));
        const auto rgb = RgbAt(picture.Pixels(), 4, 4);
        EXPECT_NEAR(rgb[0], 255, 3) << c.name;
        EXPECT_NEAR(rgb[1], 127, 3) << c.name;
        EXPECT_NEAR(rgb[2], 0, 3) << c.name;
    }
}

TEST(JpegDecode, OtherComponentCountsFailCleanly) {
    RawImage two{8, 8, 2, std::vector<uint8_t>(128, 100)};
    TJPEGImage picture = Loaded(EncodeJpeg(two, {.model = ColorModel::kTwoComponents}));
    EXPECT_GT(JpegErrorCode([&] { picture.Pixels(); }), 0);
}

TEST(JpegDecode, OnePixelRowsAndColumns) {
    for (auto [w, h] : {std::pair{1, 1}, {1, 17}, {17, 1}}) {
        TJPEGImage picture = Loaded(EncodeJpeg(MakePattern(w, h)));
        TBitmap copy;
        copy.CopyPicture(picture);
        ASSERT_EQ(copy.Width(), w);
        ASSERT_EQ(copy.Height(), h);
        TJPEGImage again = Loaded(EncodeBitmapAt(copy, 90));
        EXPECT_EQ(again.Pixels().Width(), w);
        EXPECT_EQ(again.Pixels().Height(), h);
    }
}

TEST(JpegDecode, HugeHeaderIsRefusedBeforeAllocating) {
    const auto baseline = EncodeJpeg(MakePattern(16, 16));
    ASSERT_TRUE(ReadFacts(baseline).baseline);
    TJPEGImage picture = Loaded(ClaimingFrameSize(baseline, 65500, 65500));
    EXPECT_EQ(picture.Width(), 65500);
    EXPECT_EQ(JpegErrorCode([&] { picture.Pixels(); }), JERR_IMAGE_TOO_BIG);
}

TEST(JpegEncode, MatchesLibjpegWithTheProfileByteForByte) {
    const RawImage pattern = MakePattern(50, 41);
    for (int quality : {1, 50, 75, 100}) {
        EXPECT_EQ(EncodeBitmapAt(ToBitmap(pattern), uint8_t(quality)),
                  EncodeJpeg(pattern, {.quality = quality}))
            << quality;
    }
}

TEST(JpegEncode, OutputLayout) {
    const JpegFacts facts = ReadFacts(EncodeBitmapAt(ToBitmap(MakePattern(20, 20)), 75));
    EXPECT_TRUE(facts.hasJfif);
    EXPECT_EQ(facts.jfifMajor, 1);
    EXPECT_EQ(facts.jfifMinor, 1);
    EXPECT_EQ(facts.densityUnit, 0);
    EXPECT_EQ(facts.xDensity, 1);
    EXPECT_EQ(facts.yDensity, 1);
    EXPECT_TRUE(facts.baseline);
    EXPECT_EQ(facts.sampling, (std::vector<std::pair<int, int>>{{2, 2}, {1, 1}, {1, 1}}));
    EXPECT_EQ(facts.app1Count + facts.app2Count, 0);
}

TEST(JpegEncode, QualityExtremes) {
    const TBitmap bitmap = ToBitmap(MakePattern(24, 24));
    EXPECT_EQ(EncodeBitmapAt(bitmap, 0), EncodeBitmapAt(bitmap, 1));
    for (const auto& table : ReadFacts(EncodeBitmapAt(bitmap, 100)).quantTables) {
        EXPECT_EQ(table, std::vector<int>(64, 1));
    }
    for (const auto& table : ReadFacts(EncodeBitmapAt(bitmap, 0)).quantTables) {
        EXPECT_EQ(table, std::vector<int>(64, 255));
    }
}

TEST(JpegEncode, ProgressiveFollowsTheLoadedSource) {
    const auto progressiveBytes = EncodeJpeg(MakePattern(30, 30), {.progressive = true});
    TJPEGImage picture = Loaded(progressiveBytes);
    TBitmap pixels;
    pixels.CopyPicture(picture);
    picture.CopyPicture(pixels);
    EXPECT_TRUE(picture.Progressive());
    picture.Encode();
    EXPECT_TRUE(ReadFacts(picture.EncodedBytes()).progressive);

    EXPECT_TRUE(ReadFacts(EncodeBitmapAt(pixels, 90)).baseline);
}

TEST(JpegState, EncodingKeepsTheVeryPixelsUntilBytesAreLoadedAgain) {
    const TBitmap bitmap = ToBitmap(MakePattern(16, 16));
    TJPEGImage picture;
    picture.CopyPicture(bitmap);
    picture.SetQuality(1);
    picture.Encode();
    EXPECT_EQ(picture.Pixels().Bits(), bitmap.Bits());  // not decoded: the same storage

    TMemoryStream stream;
    picture.SavePictureStream(stream);
    stream.SetPosition(0);
    picture.LoadPictureStream(stream);
    EXPECT_FALSE(picture.HasPixels());
    EXPECT_NE(RgbAt(picture.Pixels(), 3, 3), RgbAt(bitmap, 3, 3));
}

TEST(JpegState, SavingEncodesOnlyWhenNoBytesAreHeld) {
    const auto original = EncodeJpeg(MakePattern(16, 16));
    TJPEGImage loaded = Loaded(original);
    loaded.SetQuality(10);
    TMemoryStream stream;
    loaded.SavePictureStream(stream);
    EXPECT_EQ(stream.Data(), original);

    TJPEGImage fromPixels;
    fromPixels.CopyPicture(ToBitmap(MakePattern(16, 16)));
    fromPixels.SetQuality(30);
    TMemoryStream encoded;
    fromPixels.SavePictureStream(encoded);
    EXPECT_EQ(encoded.Data(), EncodeJpeg(MakePattern(16, 16), {.quality = 30}));
}

TEST(JpegState, NoAreaEncodesToNothing) {
    TJPEGImage picture;
    picture.CopyPicture(TBitmap(0, 5));
    picture.Encode();
    EXPECT_TRUE(picture.EncodedBytes().empty());
    TempDir dir;
    picture.SavePictureFile(dir.File("empty.jpg"));
    EXPECT_TRUE(ReadBytes(dir.File("empty.jpg")).empty());
}

TEST(JpegState, SizeChangesAreRefused) {
    TJPEGImage picture;
    try {
        picture.SetWidth(10);
        FAIL() << "no error";
    } catch (const EInvalidGraphicOperation& error) {
        EXPECT_STREQ(error.what(), "Cannot change the size of a JPEG image");
    }
    EXPECT_THROW(picture.SetHeight(10), EInvalidGraphicOperation);
}

TEST(JpegMetadata, OrientationAndProfileAreCarriedAndNothingElse) {
    const auto icc = MakeIccProfile(70000);  // larger than one marker: split over two
    const auto bytes = EncodeJpeg(MakePattern(24, 16),
                                  {.exifOrientation = 6, .exifWithGps = true, .iccProfile = icc});
    TJPEGImage picture = Loaded(bytes);
    TBitmap pixels;
    pixels.CopyPicture(picture);
    EXPECT_EQ(pixels.Metadata().orientation, 6);
    EXPECT_EQ(pixels.Metadata().iccProfile, icc);

    const JpegFacts facts = ReadFacts(EncodeBitmapAt(pixels, 80));
    EXPECT_EQ(facts.app1Count, 1);
    EXPECT_EQ(facts.app2Count, 2);
    const std::string exif(facts.firstApp1.begin(), facts.firstApp1.end());
    EXPECT_EQ(exif.find("GPS"), std::string::npos);
    TJPEGImage again = Loaded(EncodeBitmapAt(pixels, 80));
    TBitmap round;
    round.CopyPicture(again);
    EXPECT_EQ(round.Metadata(), pixels.Metadata());
}

TEST(JpegMetadata, OrientationIsFoundBehindAnXmpPacket) {
    TJPEGImage picture =
        Loaded(EncodeJpeg(MakePattern(8, 8), {.exifOrientation = 8, .xmpBeforeExif = true}));
    EXPECT_EQ(picture.Pixels().Metadata().orientation, 8);
}

TEST(JpegMetadata, DamagedExifIsIgnored) {
    auto bytes = EncodeJpeg(MakePattern(8, 8), {.exifOrientation = 3});
    // Point the first IFD far outside the marker.
    for (size_t i = 0; i + 14 < bytes.size(); ++i) {
        if (bytes[i] == 'I' && bytes[i + 1] == 'I' && bytes[i + 2] == 42) {
            bytes[i + 4] = 0xF0, bytes[i + 5] = 0xFF, bytes[i + 6] = 0xFF, bytes[i + 7] = 0x7F;
            break;
        }
    }
    TJPEGImage picture = Loaded(bytes);
    EXPECT_EQ(picture.Pixels().Metadata().orientation, 1);
}

}  // namespace
}  // namespace velmora::test
