// Pictures too large for the memory at hand: decoding and converting them in a process whose
// address space is limited ends in one of the system's errors, never in a crash or a foreign
// exception; pictures and conversions over the bound are refused before anything is allocated,
// and so are files too large to hold.
#include <gtest/gtest.h>
#include <malloc.h>
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
#include "core/conversion_budget.h"
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

// Within the bound, far beyond the limit: about 1.8 GB of pixels (and of coefficients for
// the progressive one) to decode; about 1 GB of coefficients to convert a progressive
// 12000 × 12000 picture at full size (the decoder's and the progressive encoder's); 0.8 GB of
// the decoder's alone for a 16000 × 16000 one to shrink (whose encoding at the quality is
// baseline). Every one of them says "Out of memory", whoever ran out: our storage or
// libjpeg's.
TEST_F(MemoryLimitTest, TooLargeForTheMemoryIsACleanError) {
    const std::vector<uint8_t> baseline = ClaimingSize(30000, 20000, false);
    const std::vector<uint8_t> progressive = ClaimingSize(30000, 20000, true);
    WriteBytes(dir.File("progressive.jpg"), ClaimingSize(12000, 12000, true));
    WriteBytes(dir.File("larger.jpg"), ClaimingSize(16000, 16000, true));
    struct Case {
        const char* name;
        std::function<void()> body;
    };
    const std::vector<Case> cases = {
        {"decode baseline", [&] { Decode(baseline); }},
        {"decode progressive", [&] { Decode(progressive); }},
        {"convert at full size",
         [&] {
             CompressFile(dir.File("progressive.jpg"), dir.File("out.jpg"),
                          {CompressPercent(25), ResizePercent(100)});
         }},
        {"convert and shrink",
         [&] {
             CompressFile(dir.File("larger.jpg"), dir.File("out.jpg"),
                          {CompressPercent(25), ResizePercent(50)});
         }},
    };
    for (const Case& c : cases) {
        const ChildResult result = RunWithLittleMemory(c.body);
        ASSERT_TRUE(result.exited) << c.name << ": killed by signal " << result.signal;
        EXPECT_EQ(result.exitCode, kChildSystemError) << c.name << ": " << result.report;
        EXPECT_EQ(result.report, "Out of memory") << c.name;
    }
    EXPECT_FALSE(std::filesystem::exists(dir.File("out.jpg")));
}

// Over the bound: refused from the header's numbers, so the limit is never reached. A
// progressive 25000 × 25000 picture decodes within the bound, but converting it needs its
// coefficients twice (to decode it and to encode it progressively again): 3.75 GB.
TEST_F(MemoryLimitTest, OverTheBoundIsRefusedBeforeAllocating) {
    for (bool progressive : {false, true}) {
        const std::vector<uint8_t> bytes = ClaimingSize(65500, 65500, progressive);
        const ChildResult result = RunWithLittleMemory([&] { Decode(bytes); });
        ASSERT_TRUE(result.exited) << "killed by signal " << result.signal;
        EXPECT_EQ(result.report, "JPEG error #" + std::to_string(JERR_IMAGE_TOO_BIG));
    }
    WriteBytes(dir.File("bomb.jpg"), ClaimingSize(25000, 25000, true));
    for (int resize : {100, 50}) {
        const ChildResult result = RunWithLittleMemory([&] {
            CompressFile(dir.File("bomb.jpg"), dir.File("out.jpg"),
                         {CompressPercent(25), ResizePercent(resize)});
        });
        ASSERT_TRUE(result.exited) << "killed by signal " << result.signal;
        EXPECT_EQ(result.report, "JPEG error #" + std::to_string(JERR_IMAGE_TOO_BIG)) << resize;
    }
    EXPECT_FALSE(std::filesystem::exists(dir.File("out.jpg")));
}

// A file is not read whole before its first bytes are looked at: 3 GiB (sparse, so the disk
// holds almost nothing) of something else is refused as libjpeg refuses it, 3 GiB that begin
// like a JPEG are refused as too large to hold.
TEST_F(MemoryLimitTest, LargeFilesAreRefusedWithoutBeingRead) {
    constexpr off_t kSize = off_t{3} << 30;
    struct Case {
        std::vector<uint8_t> start;
        std::string report;
    };
    const std::string path = dir.File("large.jpg");
    const Case cases[] = {
        {{'G', 'I', 'F', '8', '9', 'a'}, "JPEG error #" + std::to_string(JERR_NO_SOI)},
        {{0xFF, 0xD8, 0xFF}, "Cannot open file \"" + path + "\". File too large"},
    };
    for (const Case& c : cases) {
        WriteBytes(path, c.start);
        ASSERT_EQ(::truncate(path.c_str(), kSize), 0);
        for (const auto& body : std::vector<std::function<void()>>{
                 [&] {
                     CompressFile(path, dir.File("out.jpg"),
                                  {CompressPercent(25), ResizePercent(100)});
                 },
                 [&] { TJPEGImage().LoadPictureFile(path); }}) {
            const ChildResult result = RunWithLittleMemory(body);
            ASSERT_TRUE(result.exited) << "killed by signal " << result.signal;
            EXPECT_EQ(result.report, c.report);
        }
    }
}

// What a conversion is estimated to hold is at least what it allocates: given only that much
// address space (and a little for the process itself), every conversion goes through. A
// progressive source needs its coefficients for decoding and again for encoding; on two
// threads both halves of a resizing conversion and the second thread are counted.
TEST_F(MemoryLimitTest, ConversionBytesCoverWhatTheConversionAllocates) {
    constexpr size_t kSlack = size_t{1} << 20;
    struct Case {
        const char* name;
        std::vector<uint8_t> source;
    };
    const RawImage colour = MakePattern(2400, 1600);
    const std::vector<Case> cases = {
        {"baseline", EncodeJpeg(colour)},
        {"progressive", EncodeJpeg(colour, {.progressive = true})},
        {"progressive 4:4:4",
         EncodeJpeg(colour, {.progressive = true, .hSampling = 1, .vSampling = 1})},
        {"progressive grey", EncodeJpeg(MakePattern(2400, 1600, 1),
                                        {.model = ColorModel::kGrayscale, .progressive = true})},
    };
    for (const Case& c : cases) {
        for (int resize : {100, 50}) {
            for (const TStageThreads threads : {TStageThreads::kOne, TStageThreads::kTwo}) {
                const ChildResult result = RunInChild([&] {
                    // Large blocks get address space of their own rather than reusing the free
                    // memory the child inherited, so that the limit counts them.
                    ::mallopt(M_MMAP_THRESHOLD, 256 << 10);
                    ::malloc_trim(0);
                    const size_t needed =
                        ConversionBytes(c.source, resize, TJPEGDecodeDepth::jd24bit, threads);
                    const rlimit limit{AddressSpaceInUse() + needed + kSlack,
                                       AddressSpaceInUse() + needed + kSlack};
                    if (::setrlimit(RLIMIT_AS, &limit) != 0) {
                        throw std::runtime_error("setrlimit failed");
                    }
                    CompressBytes(c.source, {CompressPercent(25), ResizePercent(resize)},
                                  TMetadataKept::kOrientationAndProfile, threads);
                });
                EXPECT_EQ(result.exitCode, kChildSucceeded)
                    << c.name << ", r=" << resize << ", threads " << int(threads) << ": "
                    << result.report;
            }
        }
    }
}

}  // namespace
}  // namespace velmora::test
