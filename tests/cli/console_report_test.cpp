#include "cli/console_report.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace velmora::cli {
namespace {

// Collects what the report writes.
class MemoryStream {
  public:
    MemoryStream() : stream_(open_memstream(&buffer_, &size_)) {}
    ~MemoryStream() {
        std::fclose(stream_);
        std::free(buffer_);
    }
    MemoryStream(const MemoryStream&) = delete;
    MemoryStream& operator=(const MemoryStream&) = delete;

    std::FILE* Get() { return stream_; }
    std::string Text() {
        std::fflush(stream_);
        return {buffer_, size_};
    }

  private:
    char* buffer_ = nullptr;
    size_t size_ = 0;
    std::FILE* stream_;
};

FileResult Result(FileOutcome outcome, uint64_t sourceBytes, uint64_t outputBytes,
                  int compressPercent, const std::string& message = "") {
    FileResult result;
    result.outcome = outcome;
    result.sourceBytes = sourceBytes;
    result.outputBytes = outputBytes;
    result.compressPercent = compressPercent;
    result.message = message;
    return result;
}

FileResult Failed(const std::string& message) {
    return Result(FileOutcome::kFailed, 0, 0, 0, message);
}

const FileResult kConverted = Result(FileOutcome::kConverted, 37313, 12034, 75);
const FileResult kFailed = Failed("Stream read error");

TEST(ConsoleReportTest, FileLinesSaySizesChangeQualityAndOutcome) {
    ReportStyle full;
    ReportStyle resized;
    resized.resizePercent = 50;
    struct Case {
        FileResult result;
        ReportStyle style;
        std::string line;
    };
    const std::vector<Case> cases = {
        {kConverted, full, "a.jpg: 37313 -> 12034 bytes (-67.7%), quality 25"},
        {kConverted, resized,
         "a.jpg: 37313 -> 12034 bytes (-67.7%), quality 25, resized to 50% at quality 90"},
        {Result(FileOutcome::kKept, 37313, 53832, 10), full,
         "a.jpg: 37313 -> 53832 bytes (+44.3%), quality 90; not smaller, the source is kept"},
        // libjpeg takes quality 0 as 1.
        {Result(FileOutcome::kConverted, 100, 100, 100), full,
         "a.jpg: 100 -> 100 bytes (+0.0%), quality 1"},
        {Result(FileOutcome::kConverted, 10, 0, 0), full,
         "a.jpg: 10 -> 0 bytes (-100.0%), quality 100"},
        {Result(FileOutcome::kSkipped, 0, 0, 0, "exists: out/a.jpg"), full,
         "a.jpg: skipped, exists: out/a.jpg"},
        {kFailed, full, "velmora-convert: a.jpg: Stream read error"},
        {Failed("Cannot open file \"/x/a\x1b[2J.jpg\". No such file or directory"), full,
         "velmora-convert: a.jpg: Cannot open file \"/x/a\\033[2J.jpg\". No such file or "
         "directory"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FileLine("a.jpg", c.result, c.style), c.line);
    }
}

TEST(ConsoleReportTest, SummaryCountsEveryOutcome) {
    RunTotals totals;
    totals.Add(kConverted);
    totals.Add(kConverted);
    totals.Add(kFailed);
    totals.Add(Result(FileOutcome::kSkipped, 5, 5, 0));
    totals.Add(Result(FileOutcome::kKept, 7, 9, 0));
    EXPECT_EQ(SummaryLine(totals, 3.44, false),
              "2 converted (74626 -> 24068 bytes, -67.7%), 1 failed, 1 skipped, 1 kept in 3.4 s");
    EXPECT_EQ(SummaryLine(RunTotals(), 0.04, true),
              "dry run, nothing written: 0 converted, 0 failed, 0 skipped, 0 kept in 0.0 s");
}

TEST(ConsoleReportTest, WithoutFileLinesOnlyFailuresAppear) {
    MemoryStream out;
    ConsoleReport report(out.Get(), 2, {});
    report.Started(0, "dir/a.jpg");
    report.Finished("dir/a.jpg", kConverted);
    report.Started(1, "dir/b.jpg");
    report.Finished("dir/b\n.jpg", kFailed);
    report.Finish({}, 1.0);
    EXPECT_EQ(out.Text(), "velmora-convert: 'dir/b'$'\\n''.jpg': Stream read error\n");
}

TEST(ConsoleReportTest, ProgressNamesTheFileBeingConvertedAndStaysBelowOtherLines) {
    MemoryStream out;
    ConsoleReport report(out.Get(), 3, {.progress = true, .summary = true});
    report.Started(0, "dir/a.jpg");
    report.Started(1, "dir/b.jpg");
    report.Finished("dir/a.jpg", kFailed);
    report.Started(2, "dir/c\x1b.jpg");
    report.Started(1, "dir/late.jpg");  // started on another thread a moment late
    report.Finish({.converted = 1}, 0.5);
    EXPECT_EQ(out.Text(),
              "\r\033[K[1/3] a.jpg"
              "\r\033[K[2/3] b.jpg"
              "\r\033[Kvelmora-convert: dir/a.jpg: Stream read error\n"
              "\r\033[K[2/3] b.jpg"
              "\r\033[K[3/3] 'c'$'\\033''.jpg'"
              "\r\033[K"
              "1 converted (0 -> 0 bytes), 0 failed, 0 skipped, 0 kept in 0.5 s\n");
}

TEST(ConsoleReportTest, ProgressLineFitsTheTerminalWithoutSplittingCharacters) {
    MemoryStream out;
    // "[1/1] " leaves 13 of 20 columns, one kept free: four three-byte characters fit.
    ConsoleReport report(out.Get(), 1, {.progress = true, .width = 20});
    report.Started(0, "/photos/照片照片照片.jpg");
    EXPECT_EQ(out.Text(), "\r\033[K[1/1] 照片照片");
}

TEST(ConsoleReportTest, FileLinesAndSummaryWhenAsked) {
    MemoryStream out;
    ConsoleReport report(out.Get(), 2, {.fileLines = true, .summary = true, .dryRun = true});
    report.Finished("a.jpg", kConverted);
    report.Finished("b.jpg", kFailed);
    RunTotals totals;
    totals.Add(kConverted);
    totals.Add(kFailed);
    report.Finish(totals, 2);
    EXPECT_EQ(out.Text(),
              "a.jpg: 37313 -> 12034 bytes (-67.7%), quality 25\n"
              "velmora-convert: b.jpg: Stream read error\n"
              "dry run, nothing written: 1 converted (37313 -> 12034 bytes, -67.7%), 1 failed, "
              "0 skipped, 0 kept in 2.0 s\n");
}

}  // namespace
}  // namespace velmora::cli
