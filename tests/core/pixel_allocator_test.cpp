// Large picture storage, libjpeg's large blocks among it, is advised as huge pages, as the
// kernel records it for the mapping (VmFlags "hg" in /proc/self/smaps).
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "core/jpeg_image.h"
#include "core/jpeg_reader.h"
#include "core/pixel_allocator.h"
#include "support/jpeg_fixture.h"

namespace velmora::test {
namespace {

constexpr uintptr_t kHugePage = uintptr_t{2} << 20;

bool HugePagesAvailable() {
    return ::access("/sys/kernel/mm/transparent_hugepage/enabled", F_OK) == 0;
}

struct Mapping {
    uintptr_t begin = 0;
    uintptr_t end = 0;
    bool advised = false;  // VmFlags holds "hg"
};

std::vector<Mapping> Mappings() {
    std::ifstream smaps("/proc/self/smaps");
    std::vector<Mapping> mappings;
    for (std::string line; std::getline(smaps, line);) {
        Mapping mapping;
        if (std::sscanf(line.c_str(), "%lx-%lx ", &mapping.begin, &mapping.end) == 2) {
            mappings.push_back(mapping);
        } else if (!mappings.empty() && line.rfind("VmFlags:", 0) == 0) {
            std::istringstream flags(line);
            for (std::string flag; flags >> flag;) {
                mappings.back().advised |= flag == "hg";
            }
        }
    }
    return mappings;
}

bool AdvisedAsHuge(uintptr_t address) {
    for (const Mapping& mapping : Mappings()) {
        if (mapping.begin <= address && address < mapping.end) {
            return mapping.advised;
        }
    }
    return false;
}

// The bytes of all the mappings advised as huge pages.
size_t AdvisedBytes() {
    size_t total = 0;
    for (const Mapping& mapping : Mappings()) {
        total += mapping.advised ? mapping.end - mapping.begin : 0;
    }
    return total;
}

uintptr_t FirstWholeHugePage(const uint8_t* block) {
    return (reinterpret_cast<uintptr_t>(block) + kHugePage - 1) & ~(kHugePage - 1);
}

TEST(PixelAllocatorTest, ALargeReservedRoomIsAdvisedAndKeepsTheBytes) {
    if (!HugePagesAvailable()) {
        GTEST_SKIP() << "no transparent huge pages in this kernel";
    }
    std::vector<uint8_t> bytes = {1, 2, 3};
    ReserveHugePages(bytes, size_t{24} << 20);
    ASSERT_GE(bytes.capacity(), size_t{24} << 20);
    EXPECT_EQ(bytes, (std::vector<uint8_t>{1, 2, 3}));
    const uintptr_t page = FirstWholeHugePage(bytes.data() + bytes.size());
    EXPECT_TRUE(AdvisedAsHuge(page));
    // A reserve within the capacity changes nothing.
    const uint8_t* data = bytes.data();
    ReserveHugePages(bytes, 16);
    EXPECT_EQ(bytes.data(), data);
}

TEST(PixelAllocatorTest, ALargePictureBlockIsAdvisedWhole) {
    if (!HugePagesAvailable()) {
        GTEST_SKIP() << "no transparent huge pages in this kernel";
    }
    const size_t bytes = kHugePageThreshold + 1;
    const std::unique_ptr<void, decltype(&std::free)> block(AllocatePixels(bytes), &std::free);
    ASSERT_NE(block, nullptr);
    const auto begin = reinterpret_cast<uintptr_t>(block.get());
    EXPECT_EQ(begin % kHugePage, 0U);
    EXPECT_TRUE(AdvisedAsHuge(begin));
    EXPECT_TRUE(AdvisedAsHuge(begin + bytes - 1));
}

TEST(PixelAllocatorTest, AProgressiveDecodingHoldsItsCoefficientsInHugePages) {
    if (!HugePagesAvailable()) {
        GTEST_SKIP() << "no transparent huge pages in this kernel";
    }
    const std::vector<uint8_t> bytes =
        EncodeJpeg(MakePattern(2400, 2400), {.quality = 75, .progressive = true});
    jpeg::JpegReader reader(bytes.data(), bytes.size());
    reader.ReadHeader(false);
    const size_t before = AdvisedBytes();
    // The decoding keeps every coefficient of the picture: 128 bytes for each 8 × 8 block of
    // the luminance alone.
    reader.Start(TJPEGDecodeDepth::jd24bit);
    EXPECT_GE(AdvisedBytes() - before, size_t{300} * 300 * 128);
}

TEST(PixelAllocatorTest, ASizeThatCannotBeRoundedGetsNoBlock) {
    for (const size_t bytes : {SIZE_MAX, SIZE_MAX - 1, SIZE_MAX - kHugePage + 1}) {
        EXPECT_EQ(AllocatePixels(bytes), nullptr) << bytes;
    }
}

}  // namespace
}  // namespace velmora::test
