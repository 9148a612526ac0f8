// One planned file under each option that decides whether and where its output is written.
#include "cli/file_conversion.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>

#include "core/compress_file.h"
#include "core/errors.h"
#include "support/jpeg_fixture.h"
#include "support/temp_dir.h"

namespace velmora::cli {
namespace {

using namespace std::string_literals;

namespace fs = std::filesystem;
using test::ReadBytes;
using test::WriteBytes;

class FileConversionTest : public ::testing::Test {
  protected:
    void SetUp() override {
        // Already at quality 60: at -c 10 (quality 90) its conversion grows.
        WriteBytes(source, test::EncodeJpeg(test::MakePattern(120, 90), {.quality = 60}));
        fs::create_directory(dir.File("out"));
    }

    PlannedFile File(const std::string& outputName = "a.jpg") const {
        return {
            .source = source, .outputName = outputName, .output = dir.File("out/" + outputName)};
    }

    static ConvertOptions Options(int compressPercent) {
        ConvertOptions options;
        options.compressPercent = compressPercent;
        return options;
    }

    test::TempDir dir;
    const std::string source = dir.File("a.jpg");
    const std::vector<uint8_t> old = {'o', 'l', 'd'};
};

TEST_F(FileConversionTest, WritesTheCoresConversion) {
    const FileResult result = ConvertPlannedFile(File(), Options(40));
    EXPECT_EQ(result.outcome, FileOutcome::kConverted);
    EXPECT_EQ(ReadBytes(dir.File("out/a.jpg")),
              CompressBytes(ReadBytes(source), {CompressPercent(40), ResizePercent(100)}));
    EXPECT_EQ(result.sourceBytes, ReadBytes(source).size());
    EXPECT_EQ(result.outputBytes, ReadBytes(dir.File("out/a.jpg")).size());
    EXPECT_EQ(result.compressPercent, 40);
}

TEST_F(FileConversionTest, OnlySmallerKeepsWhatWouldGrow) {
    ConvertOptions options = Options(10);
    options.onlySmaller = true;
    const FileResult grows = ConvertPlannedFile(File(), options);
    EXPECT_EQ(grows.outcome, FileOutcome::kKept);
    EXPECT_GT(grows.outputBytes, grows.sourceBytes);
    EXPECT_FALSE(fs::exists(dir.File("out/a.jpg")));

    // Converted in place: the original stays as it is.
    const std::vector<uint8_t> original = ReadBytes(source);
    PlannedFile inPlace = File();
    inPlace.output = source;
    EXPECT_EQ(ConvertPlannedFile(inPlace, options).outcome, FileOutcome::kKept);
    EXPECT_EQ(ReadBytes(source), original);

    options.compressPercent = 75;
    EXPECT_EQ(ConvertPlannedFile(inPlace, options).outcome, FileOutcome::kConverted);
    EXPECT_EQ(ReadBytes(source),
              CompressBytes(original, {CompressPercent(75), ResizePercent(100)}));
}

// A side shrunk to nothing gives an empty output, which never takes its own source's place.
TEST_F(FileConversionTest, AnEmptyOutputNeverReplacesItsSource) {
    const std::vector<uint8_t> original = ReadBytes(source);
    PlannedFile inPlace = File();
    inPlace.output = source;
    ConvertOptions options = Options(40);
    options.resizePercent = 0;
    const FileResult result = ConvertPlannedFile(inPlace, options);
    EXPECT_EQ(result.outcome, FileOutcome::kFailed);
    EXPECT_NE(result.message.find("The output would be empty and replace its own source"),
              std::string::npos)
        << result.message;
    EXPECT_EQ(ReadBytes(source), original);
    // Elsewhere the empty file is written.
    EXPECT_EQ(ConvertPlannedFile(File(), options).outcome, FileOutcome::kConverted);
    EXPECT_TRUE(ReadBytes(dir.File("out/a.jpg")).empty());
}

TEST_F(FileConversionTest, NoClobberSkipsAnythingAtTheOutputPath) {
    ConvertOptions options = Options(40);
    options.noClobber = true;
    WriteBytes(dir.File("out/a.jpg"), old);
    fs::create_symlink(dir.File("nowhere.jpg"), dir.File("out/b.jpg"));
    for (const std::string name : {"a.jpg", "b.jpg"}) {
        const FileResult result = ConvertPlannedFile(File(name), options);
        EXPECT_EQ(result.outcome, FileOutcome::kSkipped) << name;
        EXPECT_EQ(result.message, "exists: " + dir.File("out/" + name));
    }
    EXPECT_EQ(ReadBytes(dir.File("out/a.jpg")), old);
    EXPECT_FALSE(fs::exists(dir.File("nowhere.jpg")));
    EXPECT_EQ(ConvertPlannedFile(File("c.jpg"), options).outcome, FileOutcome::kConverted);
}

TEST_F(FileConversionTest, DryRunConvertsButWritesNothing) {
    ConvertOptions options = Options(40);
    options.dryRun = true;
    const FileResult result = ConvertPlannedFile(File("sub/deeper/a.jpg"), options);
    EXPECT_EQ(result.outcome, FileOutcome::kConverted);
    EXPECT_EQ(result.outputBytes,
              CompressBytes(ReadBytes(source), {CompressPercent(40), ResizePercent(100)}).size());
    EXPECT_TRUE(fs::is_empty(dir.File("out")));

    options.onlySmaller = true;
    options.compressPercent = 10;
    EXPECT_EQ(ConvertPlannedFile(File(), options).outcome, FileOutcome::kKept);
    EXPECT_TRUE(fs::is_empty(dir.File("out")));
}

TEST_F(FileConversionTest, OutputPathsUnderTheDirectoryGetTheirFolders) {
    EXPECT_EQ(ConvertPlannedFile(File("2023/june/a.jpg"), Options(40)).outcome,
              FileOutcome::kConverted);
    EXPECT_EQ(ReadBytes(dir.File("out/2023/june/a.jpg")),
              CompressBytes(ReadBytes(source), {CompressPercent(40), ResizePercent(100)}));

    test::WriteText(dir.File("out/file"), "a file where a folder should be");
    const FileResult blocked = ConvertPlannedFile(File("file/a.jpg"), Options(40));
    EXPECT_EQ(blocked.outcome, FileOutcome::kFailed);
    EXPECT_EQ(blocked.message.rfind("Cannot create folder \"" + dir.File("out/file") + "\". ", 0),
              0u)
        << blocked.message;
}

TEST_F(FileConversionTest, KeepDatesCopiesTheSourcesTimes) {
    const timespec times[2] = {{1000000000, 5}, {1100000000, 123456789}};
    ASSERT_EQ(::utimensat(AT_FDCWD, source.c_str(), times, 0), 0);
    ConvertOptions options = Options(40);
    options.keepDates = true;
    ASSERT_EQ(ConvertPlannedFile(File(), options).outcome, FileOutcome::kConverted);
    struct stat info {};
    ASSERT_EQ(::stat(dir.File("out/a.jpg").c_str(), &info), 0);
    EXPECT_EQ(info.st_atim.tv_sec, times[0].tv_sec);
    EXPECT_EQ(info.st_atim.tv_nsec, times[0].tv_nsec);
    EXPECT_EQ(info.st_mtim.tv_sec, times[1].tv_sec);
    EXPECT_EQ(info.st_mtim.tv_nsec, times[1].tv_nsec);

    // Without the option the output is simply new.
    ASSERT_EQ(ConvertPlannedFile(File("b.jpg"), Options(40)).outcome, FileOutcome::kConverted);
    ASSERT_EQ(::stat(dir.File("out/b.jpg").c_str(), &info), 0);
    EXPECT_GT(info.st_mtim.tv_sec, times[1].tv_sec);
}

TEST_F(FileConversionTest, KeepMetadataCarriesTheMarkers) {
    const std::string xmp = "http://ns.adobe.com/xap/1.0/\0<x/>"s;
    WriteBytes(source, test::EncodeJpeg(test::MakePattern(40, 30),
                                        {.markers = {{0xE1, {xmp.begin(), xmp.end()}}}}));
    ConvertOptions options = Options(40);
    options.metadata = TMetadataKept::kAll;
    ASSERT_EQ(ConvertPlannedFile(File(), options).outcome, FileOutcome::kConverted);
    EXPECT_EQ(ReadBytes(dir.File("out/a.jpg")),
              CompressBytes(ReadBytes(source), {CompressPercent(40), ResizePercent(100)},
                            TMetadataKept::kAll));
    EXPECT_EQ(test::ReadFacts(ReadBytes(dir.File("out/a.jpg"))).metadataMarkers.size(), 1u);
}

TEST_F(FileConversionTest, MaxSizeWritesTheFittedConversion) {
    ConvertOptions options = Options(75);
    const size_t atForty =
        CompressBytes(ReadBytes(source), {CompressPercent(40), ResizePercent(100)}).size();
    options.maxBytes = atForty;
    const FileResult result = ConvertPlannedFile(File(), options);
    ASSERT_EQ(result.outcome, FileOutcome::kConverted) << result.message;
    EXPECT_LE(result.outputBytes, atForty);
    EXPECT_EQ(ReadBytes(dir.File("out/a.jpg")),
              CompressBytes(ReadBytes(source),
                            {CompressPercent(result.compressPercent), ResizePercent(100)}));
    // -c given: no quality above 100 - c is tried.
    options.compressGiven = true;
    options.compressPercent = 60;
    EXPECT_EQ(ConvertPlannedFile(File(), options).compressPercent, 60);
}

TEST_F(FileConversionTest, FailuresComeBackWithTheirMessage) {
    PlannedFile refused = File();
    refused.refusal = "not converted, no file name";
    EXPECT_EQ(ConvertPlannedFile(refused, Options(40)).message, "not converted, no file name");

    PlannedFile missing = File();
    missing.source = dir.File("missing.jpg");
    const FileResult result = ConvertPlannedFile(missing, Options(40));
    EXPECT_EQ(result.outcome, FileOutcome::kFailed);
    EXPECT_EQ(result.message, EFOpenError(dir.File("missing.jpg"), ENOENT).what());
    EXPECT_TRUE(fs::is_empty(dir.File("out")));
}

}  // namespace
}  // namespace velmora::cli
