// Converting one file: both branches, the output table, and what every failure leaves on disk.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <thread>

#include <jerror.h>

#include "bitmap_convert.h"
#include "core/compress_file.h"
#include "core/errors.h"
#include "core/jpeg_image.h"
#include "core/resize.h"
#include "support/jpeg_fixture.h"
#include "support/pipe_guard.h"
#include "support/temp_dir.h"

namespace velmora::test {
namespace {

class CompressFileTest : public ::testing::Test {
  protected:
    std::string Source(const std::string& name, const std::vector<uint8_t>& bytes) {
        WriteBytes(dir.File(name), bytes);
        return dir.File(name);
    }

    static TJPEGImage Load(const std::string& path) {
        TJPEGImage picture;
        picture.LoadPictureFile(path);
        return picture;
    }

    // The temporary files of the crash-safe writer must never outlive a call.
    void ExpectNoTemporaryFiles() {
        for (const std::string& name : dir.Entries()) {
            EXPECT_FALSE(IsWriterTemporary(name)) << name;
        }
    }

    TempDir dir;
};

TEST_F(CompressFileTest, FullSizeIsTheDecodedSourceEncodedAtTheQuality) {
    const RawImage pattern = MakePattern(61, 47);
    const std::string source = Source("a.jpg", EncodeJpeg(pattern));
    CompressFile(source, dir.File("out.jpg"), {CompressPercent(25), ResizePercent(100)});

    const RawImage decoded = DecodeReference(ReadBytes(source));
    EXPECT_EQ(ReadBytes(dir.File("out.jpg")), EncodeJpeg(decoded, {.quality = 75}));
    ExpectNoTemporaryFiles();
}

TEST_F(CompressFileTest, ProgressiveSourceGivesProgressiveOutputAtFullSizeOnly) {
    const std::string source =
        Source("p.jpg", EncodeJpeg(MakePattern(40, 40), {.progressive = true}));
    CompressFile(source, dir.File("full.jpg"), {CompressPercent(25), ResizePercent(100)});
    CompressFile(source, dir.File("half.jpg"), {CompressPercent(25), ResizePercent(50)});
    EXPECT_TRUE(ReadFacts(ReadBytes(dir.File("full.jpg"))).progressive);
    EXPECT_TRUE(ReadFacts(ReadBytes(dir.File("half.jpg"))).baseline);
}

TEST_F(CompressFileTest, ResizedOutputIsBaselineQuality90OfTheCompressedPicture) {
    const std::string source = Source("a.jpg", EncodeJpeg(MakePattern(80, 60)));
    CompressFile(source, dir.File("c0.jpg"), {CompressPercent(0), ResizePercent(50)});
    CompressFile(source, dir.File("c90.jpg"), {CompressPercent(90), ResizePercent(50)});
    const JpegFacts low = ReadFacts(ReadBytes(dir.File("c0.jpg")));
    const JpegFacts high = ReadFacts(ReadBytes(dir.File("c90.jpg")));
    const JpegFacts quality90 = ReadFacts(EncodeJpeg(MakePattern(8, 8), {.quality = 90}));
    EXPECT_EQ(low.quantTables, quality90.quantTables);
    EXPECT_EQ(high.quantTables, quality90.quantTables);
    EXPECT_EQ(std::pair(low.width, low.height), std::pair(40, 30));
    EXPECT_EQ(std::pair(high.width, high.height), std::pair(40, 30));
    EXPECT_NE(ReadBytes(dir.File("c0.jpg")), ReadBytes(dir.File("c90.jpg")));
}

TEST_F(CompressFileTest, ResizedOutputIsTheShrunkRoundTrip) {
    const std::string source = Source("a.jpg", EncodeJpeg(MakePattern(90, 70)));
    CompressFile(source, dir.File("out.jpg"), {CompressPercent(40), ResizePercent(30)});

    // The same steps the resize preview takes: decode, encode at 60, decode, shrink.
    const RawImage decoded = DecodeReference(ReadBytes(source));
    TJPEGImage compressed;
    compressed.LoadPictureBytes(EncodeJpeg(decoded, {.quality = 60}));
    const TBitmap& work = compressed.Pixels();
    TBitmap target(PercentSize(work.Width(), 30), PercentSize(work.Height(), 30));
    StretchToBitmap(target, work);
    TJPEGImage expected;
    expected.CopyPicture(target);
    expected.Encode();
    EXPECT_EQ(ReadBytes(dir.File("out.jpg")), expected.EncodedBytes());
}

TEST_F(CompressFileTest, OddSidesGoToTheEvenNeighbour) {
    const std::string source = Source("a.jpg", EncodeJpeg(MakePattern(1023, 1025)));
    CompressFile(source, dir.File("out.jpg"), {CompressPercent(25), ResizePercent(50)});
    TJPEGImage out = Load(dir.File("out.jpg"));
    EXPECT_EQ(out.Width(), 512);
    EXPECT_EQ(out.Height(), 512);
}

TEST_F(CompressFileTest, NoAreaGivesAnEmptyFile) {
    const std::string source = Source("a.jpg", EncodeJpeg(MakePattern(50, 10)));
    WriteBytes(dir.File("old.jpg"), {1, 2, 3});
    CompressFile(source, dir.File("old.jpg"), {CompressPercent(25), ResizePercent(0)});
    CompressFile(source, dir.File("thin.jpg"),
                 {CompressPercent(25), ResizePercent(1)});  // 0.5 × 0.1 → 0 × 0
    CompressFile(source, dir.File("flat.jpg"),
                 {CompressPercent(25), ResizePercent(5)});  // 2.5 × 0.5 → 2 × 0
    EXPECT_TRUE(ReadBytes(dir.File("old.jpg")).empty());
    EXPECT_TRUE(ReadBytes(dir.File("thin.jpg")).empty());
    EXPECT_TRUE(ReadBytes(dir.File("flat.jpg")).empty());
}

// Whatever path leads from the output back to the source, an empty result must not take the
// photograph's place: the call fails and the file keeps every byte.
TEST_F(CompressFileTest, EmptyResultNeverReplacesItsOwnSource) {
    const std::vector<uint8_t> photo = EncodeJpeg(MakePattern(50, 10));
    const std::vector<uint8_t> thin = EncodeJpeg(MakePattern(1, 40));
    std::filesystem::create_directory(dir.File("sub"));
    std::filesystem::create_directory_symlink(dir.Path(), dir.File("linked-dir"));
    struct Case {
        const char* name;
        std::string source;
        std::string output;
        int resize;
    };
    const std::string a = dir.File("a.jpg");
    const std::vector<Case> cases = {
        {"same path", a, a, 0},
        {"another path to it", a, dir.File("sub/../a.jpg"), 0},
        {"through a linked directory", a, dir.File("linked-dir/a.jpg"), 0},
        {"a hard link", a, dir.File("hard.jpg"), 0},
        {"a symbolic link as output", a, dir.File("soft.jpg"), 0},
        {"a symbolic link as source", dir.File("soft.jpg"), a, 0},
        {"one pixel wide at 50 percent", dir.File("thin.jpg"), dir.File("thin.jpg"), 50},
    };
    for (const Case& c : cases) {
        std::filesystem::remove(dir.File("hard.jpg"));
        std::filesystem::remove(dir.File("soft.jpg"));
        WriteBytes(a, photo);
        WriteBytes(dir.File("thin.jpg"), thin);
        ::link(a.c_str(), dir.File("hard.jpg").c_str());
        std::filesystem::create_symlink(a, dir.File("soft.jpg"));
        const std::vector<uint8_t> before = ReadBytes(c.source);
        try {
            CompressFile(c.source, c.output, {CompressPercent(25), ResizePercent(c.resize)});
            ADD_FAILURE() << c.name << ": no error";
        } catch (const EFCreateError& error) {
            EXPECT_EQ(std::string(error.what()),
                      "Cannot create file \"" + ExpandFileName(c.output) +
                          "\". The output would be empty and replace its own source")
                << c.name;
        }
        EXPECT_EQ(ReadBytes(c.source), before) << c.name;
        EXPECT_TRUE(std::filesystem::is_symlink(dir.File("soft.jpg"))) << c.name;
    }
    ExpectNoTemporaryFiles();
}

TEST_F(CompressFileTest, GrayscaleSourceGivesColourModelOutputInBothBranches) {
    const std::string source =
        Source("g.jpg", EncodeJpeg(MakePattern(30, 30, 1), {.model = ColorModel::kGrayscale}));
    for (int r : {100, 50}) {
        CompressFile(source, dir.File("out.jpg"), {CompressPercent(25), ResizePercent(r)});
        EXPECT_EQ(ReadFacts(ReadBytes(dir.File("out.jpg"))).components, 3) << r;
    }
}

TEST_F(CompressFileTest, FullCompressionIsQualityOne) {
    const std::string source = Source("a.jpg", EncodeJpeg(MakePattern(16, 16)));
    CompressFile(source, dir.File("out.jpg"), {CompressPercent(100), ResizePercent(100)});
    for (const auto& table : ReadFacts(ReadBytes(dir.File("out.jpg"))).quantTables) {
        EXPECT_EQ(table, std::vector<int>(64, 255));
    }
}

TEST_F(CompressFileTest, OutputOverItsOwnSourceReplacesIt) {
    const std::string source = Source("a.jpg", EncodeJpeg(MakePattern(64, 48), {.quality = 98}));
    ::chmod(source.c_str(), 0640);
    const auto before = ReadBytes(source);
    CompressFile(source, source, {CompressPercent(50), ResizePercent(100)});
    const auto after = ReadBytes(source);
    EXPECT_LT(after.size(), before.size());
    EXPECT_EQ(Load(source).Width(), 64);
    struct stat info {};
    ::stat(source.c_str(), &info);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
    ExpectNoTemporaryFiles();
}

TEST_F(CompressFileTest, OrientationAndProfileSurviveBothBranches) {
    const auto icc = MakeIccProfile(3000);
    const std::string source = Source(
        "phone.jpg", EncodeJpeg(MakePattern(40, 30), {.exifOrientation = 6, .iccProfile = icc}));
    for (int r : {100, 50}) {
        CompressFile(source, dir.File("out.jpg"), {CompressPercent(25), ResizePercent(r)});
        TJPEGImage out = Load(dir.File("out.jpg"));
        EXPECT_EQ(out.Pixels().Metadata().orientation, 6) << r;
        EXPECT_EQ(out.Pixels().Metadata().iccProfile, icc) << r;
    }
}

// The output is always three components made from red, green and blue: only a profile of
// that colour space still describes it.
TEST_F(CompressFileTest, ProfilesAreCarriedOnlyWhenTheyDescribeRgb) {
    struct Case {
        const char* name;
        ColorModel model;
        std::vector<uint8_t> profile;
        bool carried;
    };
    const std::vector<Case> cases = {
        {"RGB profile", ColorModel::kYCbCr, MakeIccProfile(600, "RGB "), true},
        {"RGB profile of an RGB-stored source", ColorModel::kRgb, MakeIccProfile(600, "RGB "),
         true},
        {"grey profile", ColorModel::kGrayscale, MakeIccProfile(600, "GRAY"), false},
        {"CMYK profile", ColorModel::kCmykAdobe, MakeIccProfile(600, "CMYK"), false},
        {"grey profile on a colour source", ColorModel::kYCbCr, MakeIccProfile(600, "GRAY"), false},
        {"too short for a header", ColorModel::kYCbCr, MakeIccProfile(12), false},
    };
    for (const Case& c : cases) {
        const int components = c.model == ColorModel::kGrayscale   ? 1
                               : c.model == ColorModel::kCmykAdobe ? 4
                                                                   : 3;
        const std::string source =
            Source("p.jpg", EncodeJpeg(MakePattern(24, 16, components),
                                       {.model = c.model, .iccProfile = c.profile}));
        for (int r : {100, 50}) {
            CompressFile(source, dir.File("out.jpg"), {CompressPercent(25), ResizePercent(r)});
            const JpegFacts facts = ReadFacts(ReadBytes(dir.File("out.jpg")));
            EXPECT_EQ(facts.app2Count, c.carried ? 1 : 0) << c.name << ", r=" << r;
            EXPECT_EQ(facts.components, 3) << c.name;
        }
    }
}

// A pipe named like a photograph is refused at once, not waited for; asked to, the conversion
// reads a pipe to its end (as the command line does with what it is given).
TEST_F(CompressFileTest, PipeSourcesAreRefusedUnlessAskedToBeRead) {
    ASSERT_EQ(::mkfifo(dir.File("pipe.jpg").c_str(), 0644), 0);
    EXPECT_THROW(WithoutWaitingOn(dir.File("pipe.jpg"),
                                  [&] {
                                      CompressFile(dir.File("pipe.jpg"), dir.File("out.jpg"),
                                                   {CompressPercent(25), ResizePercent(100)});
                                  }),
                 EFOpenError);

    const std::vector<uint8_t> photo = EncodeJpeg(MakePattern(40, 30));
    std::thread writer([&] { WriteBytes(dir.File("pipe.jpg"), photo); });
    CompressFile(dir.File("pipe.jpg"), dir.File("out.jpg"),
                 {CompressPercent(25), ResizePercent(100)}, TNonRegular::ReadToEnd);
    writer.join();
    EXPECT_EQ(ReadBytes(dir.File("out.jpg")),
              CompressBytes(photo, {CompressPercent(25), ResizePercent(100)}));
}

// What each failure leaves at the output path: always the old file, never a partial one.
TEST_F(CompressFileTest, FailuresLeaveTheOldOutputUntouched) {
    const std::vector<uint8_t> old = {'o', 'l', 'd'};
    const std::string good = Source("good.jpg", EncodeJpeg(MakePattern(16, 16)));
    const std::string text = Source("text.jpg", {'n', 'o', 't', ' ', 'j', 'p', 'e', 'g'});
    const std::string empty = Source("empty.jpg", {});
    struct Case {
        const char* name;
        std::string source;
        std::function<void(const std::exception&)> check;
    };
    const std::vector<Case> cases = {
        {"missing source", dir.File("missing.jpg"),
         [](const std::exception& e) { EXPECT_NE(dynamic_cast<const EFOpenError*>(&e), nullptr); }},
        {"not a jpeg", text,
         [](const std::exception& e) { EXPECT_STREQ(e.what(), "JPEG error #53"); }},
        {"empty source", empty,
         [](const std::exception& e) { EXPECT_STREQ(e.what(), "JPEG error #42"); }},
    };
    for (const Case& c : cases) {
        for (int r : {100, 50}) {
            WriteBytes(dir.File("out.jpg"), old);
            try {
                CompressFile(c.source, dir.File("out.jpg"),
                             {CompressPercent(25), ResizePercent(r)});
                ADD_FAILURE() << c.name << ": no error";
            } catch (const std::exception& error) {
                c.check(error);
            }
            EXPECT_EQ(ReadBytes(dir.File("out.jpg")), old) << c.name;
        }
    }
    ExpectNoTemporaryFiles();
}

TEST_F(CompressFileTest, ReadOnlyOutputsAndDirectoriesRefuseWithCreateError) {
    const std::string source = Source("a.jpg", EncodeJpeg(MakePattern(16, 16)));
    WriteBytes(dir.File("locked.jpg"), {'o', 'l', 'd'});
    ::chmod(dir.File("locked.jpg").c_str(), 0444);
    try {
        CompressFile(source, dir.File("locked.jpg"), {CompressPercent(25), ResizePercent(100)});
        FAIL() << "no error";
    } catch (const EFCreateError& error) {
        EXPECT_EQ(std::string(error.what()),
                  "Cannot create file \"" + dir.File("locked.jpg") + "\". Permission denied");
    }
    EXPECT_EQ(ReadBytes(dir.File("locked.jpg")), (std::vector<uint8_t>{'o', 'l', 'd'}));

    EXPECT_THROW(CompressFile(source, dir.File("no/such/dir/a.jpg"),
                              {CompressPercent(25), ResizePercent(100)}),
                 EFCreateError);

    ::mkdir(dir.File("ro").c_str(), 0555);
    EXPECT_THROW(
        CompressFile(source, dir.File("ro/a.jpg"), {CompressPercent(25), ResizePercent(50)}),
        EFCreateError);
    ExpectNoTemporaryFiles();
}

}  // namespace
}  // namespace velmora::test
