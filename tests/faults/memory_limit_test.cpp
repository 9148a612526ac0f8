// Pictures too large for the memory at hand: decoding and converting them in a process whose
// address space is limited ends in one of the system's errors, never in a crash or a foreign
// exception; pictures over the decoded-size bound are refused before anything is allocated.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <jerror.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "child_process.h"
#include "core/compress_file.h"
#include "core/errors.h"
#include "core/jpeg_image.h"
#include "support/jpeg_fixture.h"
#include "support/temp_dir.h"

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define VELMORA_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
#define VELMORA_SANITIZED 1
#endif
#endif

namespace velmora::test {
namespace {

constexpr size_t kHeadroom = size_t{512} << 20;

// A small valid JPEG whose frame header claims width × height; its data ends long before the
// picture does.
std::vector<uint8_t> ClaimingSize(int width, int height, bool progressive) {
    return ClaimingFrameSize(EncodeJpeg(MakePattern(16, 16), {.progressive = progressive}), width,
                             height);
}

// The address space in use now (pages of /proc/self/statm's first field).
size_t AddressSpaceInUse() {
    std::ifstream statm("/proc/self/statm");
    size_t pages = 0;
    statm >> pages;
    return pages * static_cast<size_t>(::sysconf(_SC_PAGESIZE));
}

// Runs body in a child that may map only kHeadroom more bytes than it has at the start.
ChildResult RunWithLittleMemory(const std::function<void()>& body) {
    return RunInChild([&] {
        const rlimit limit{AddressSpaceInUse() + kHeadroom, AddressSpaceInUse() + kHeadroom};
        if (::setrlimit(RLIMIT_AS, &limit) != 0) {
            throw std::runtime_error("setrlimit failed");
        }
        body();
    });
}

// Decodes; a picture that failed must still be consistent: empty pixels, not a size without
// storage behind it.
void Decode(const std::vector<uint8_t>& bytes) {
    TJPEGImage picture;
    picture.LoadPictureBytes(bytes);
    try {
        picture.Pixels();
    } catch (const Exception&) {
        if (!picture.Pixels().Empty()) {
            throw std::logic_error("failed decoding left a size without pixels");
        }
        throw;
    }
}

class MemoryLimitTest : public ::testing::Test {
  protected:
    void SetUp() override {
#ifdef VELMORA_SANITIZED
        GTEST_SKIP() << "sanitizers reserve more address space than any limit would leave";
#endif
    }
    TempDir dir;
};

// About 1.8 GB of pixels (and of coefficients for the progressive one): within the
// decoded-size bound, far beyond the limit.
TEST_F(MemoryLimitTest, TooLargeForTheMemoryIsACleanError) {
    const std::vector<uint8_t> baseline = ClaimingSize(30000, 20000, false);
    const std::vector<uint8_t> progressive = ClaimingSize(30000, 20000, true);
    WriteBytes(dir.File("progressive.jpg"), progressive);
    struct Case {
        const char* name;
        std::function<void()> body;
    };
    const std::vector<Case> cases = {
        {"decode baseline", [&] { Decode(baseline); }},
        {"decode progressive", [&] { Decode(progressive); }},
        {"convert at full size",
         [&] { CompressFile(dir.File("progressive.jpg"), dir.File("out.jpg"), 25, 100); }},
        {"convert and shrink",
         [&] { CompressFile(dir.File("progressive.jpg"), dir.File("out.jpg"), 25, 50); }},
    };
    for (const Case& c : cases) {
        const ChildResult result = RunWithLittleMemory(c.body);
        ASSERT_TRUE(result.exited) << c.name << ": killed by signal " << result.signal;
        EXPECT_EQ(result.exitCode, kChildSystemError) << c.name << ": " << result.report;
    }
    EXPECT_FALSE(std::filesystem::exists(dir.File("out.jpg")));
}

// Over the bound: refused from the header's numbers, so the limit is never reached.
TEST_F(MemoryLimitTest, OverTheBoundIsRefusedBeforeAllocating) {
    for (bool progressive : {false, true}) {
        const std::vector<uint8_t> bytes = ClaimingSize(65500, 65500, progressive);
        const ChildResult result = RunWithLittleMemory([&] { Decode(bytes); });
        ASSERT_TRUE(result.exited) << "killed by signal " << result.signal;
        EXPECT_EQ(result.report, "JPEG error #" + std::to_string(JERR_IMAGE_TOO_BIG));
    }
}

}  // namespace
}  // namespace velmora::test
