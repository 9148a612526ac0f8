#include "pixel_allocator.h"

#include <sys/mman.h>

#include <cstdlib>

namespace velmora {

namespace {

constexpr size_t kHugePage = size_t{2} << 20;

}  // namespace

void* AllocatePixels(size_t bytes) {
    if (bytes < kHugePageThreshold) {
        return std::malloc(bytes == 0 ? 1 : bytes);
    }
    const size_t rounded = (bytes + kHugePage - 1) & ~(kHugePage - 1);
    void* block = std::aligned_alloc(kHugePage, rounded);
    if (block) {
        // Only advice: without huge pages the block works the same.
        ::madvise(block, rounded, MADV_HUGEPAGE);
    }
    return block;
}

}  // namespace velmora
