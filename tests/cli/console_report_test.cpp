#include "cli/console_report.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

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

TEST(ConsoleReportTest, WithoutProgressOnlyFailureLinesAppear) {
    MemoryStream out;
    ConsoleReport report(out.Get(), 2, false, 0);
    report.Progress(1, "dir/a.jpg");
    report.Failure("dir/b.jpg", "Stream read error");
    report.Progress(2, "dir/b.jpg");
    report.Finish();
    EXPECT_EQ(out.Text(), "velmora-convert: dir/b.jpg: Stream read error\n");
}

TEST(ConsoleReportTest, ProgressLineIsClearedAroundFailuresAndAtTheEnd) {
    MemoryStream out;
    ConsoleReport report(out.Get(), 2, true, 0);
    report.Progress(1, "dir/a.jpg");
    report.Failure("dir/b.jpg", "Stream read error");
    report.Progress(2, "dir/b.jpg");
    report.Finish();
    EXPECT_EQ(out.Text(),
              "\r\033[K[1/2] a.jpg"
              "\r\033[Kvelmora-convert: dir/b.jpg: Stream read error\n"
              "\r\033[K[2/2] b.jpg"
              "\r\033[K");
}

TEST(ConsoleReportTest, ProgressLineFitsTheTerminalWithoutSplittingCharacters) {
    MemoryStream out;
    // "[1/1] " leaves 13 of 20 columns, one kept free: four three-byte characters fit.
    ConsoleReport report(out.Get(), 1, true, 20);
    report.Progress(1, "/photos/照片照片照片.jpg");
    EXPECT_EQ(out.Text(), "\r\033[K[1/1] 照片照片");
}

}  // namespace
}  // namespace velmora::cli
