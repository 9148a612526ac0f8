#include "pixel_allocator.h"

#include <sys/mman.h>

#include <cstdint>
#include <cstdlib>

namespace velmora {

namespace {

constexpr size_t kHugePage = size_t{2} << 20;

uint64_t WholeHugePages(uint64_t bytes) {
    return (bytes + kHugePage - 1) & ~uint64_t{kHugePage - 1};
}

// Only advice: without huge pages the memory works the same.
void AdviseHugePages(void* block, size_t bytes) {
    auto* begin = static_cast<uint8_t*>(block);
    const size_t head = (kHugePage - reinterpret_cast<uintptr_t>(begin) % kHugePage) % kHugePage;
    const size_t whole = bytes > head ? (bytes - head) & ~(kHugePage - 1) : 0;
    if (whole != 0) {
        ::madvise(begin + head, whole, MADV_HUGEPAGE);
    }
}

}  // namespace

void* AllocatePixels(size_t bytes) {
    if (bytes < kHugePageThreshold) {
        return std::malloc(bytes == 0 ? 1 : bytes);
    }
    if (bytes > SIZE_MAX - kHugePage) {
        return nullptr;  // the rounding would wrap to a tiny block
    }
    const size_t rounded = WholeHugePages(bytes);
    void* block = std::aligned_alloc(kHugePage, rounded);
    if (block) {
        AdviseHugePages(block, rounded);
    }
    return block;
}

uint64_t PixelBlockAddressSpace(uint64_t bytes) {
    if (bytes < kHugePageThreshold) {
        return bytes;
    }
    constexpr uint64_t kAlignmentPages = uint64_t{64} << 10;
    return WholeHugePages(bytes) + kHugePage + kAlignmentPages;
}

void ReserveHugePages(std::vector<uint8_t>& bytes, size_t capacity) {
    if (capacity <= bytes.capacity()) {
        return;
    }
    bytes.reserve(capacity);
    if (capacity >= kHugePageThreshold) {
        AdviseHugePages(bytes.data() + bytes.size(), bytes.capacity() - bytes.size());
    }
}

}  // namespace velmora
