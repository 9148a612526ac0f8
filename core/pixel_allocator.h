// Storage for whole pictures.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <new>
#include <vector>

namespace velmora {

// Allocates large blocks aligned to, and advised as, 2 MiB huge pages: filling a fresh
// 72 MB frame otherwise takes some eighteen thousand page faults, which cost more than the
// filling itself. Small blocks come from the ordinary heap.
template <typename T>
struct PixelAllocator {
    using value_type = T;

    PixelAllocator() = default;
    template <typename U>
    PixelAllocator(const PixelAllocator<U>&) {}

    T* allocate(size_t count);
    void deallocate(T* block, size_t) { std::free(block); }

    friend bool operator==(const PixelAllocator&, const PixelAllocator&) { return true; }
};

// The block for the bytes, huge-page backed from kHugePageThreshold up; nullptr when none.
void* AllocatePixels(size_t bytes);
inline constexpr size_t kHugePageThreshold = size_t{4} << 20;

// The address space such a block takes at most: from the threshold up it is rounded to whole
// huge pages, and the C library maps one huge page more (and a few pages) to align it.
uint64_t PixelBlockAddressSpace(uint64_t bytes);

// Reserves room for `capacity` bytes in an ordinary byte vector (encoded pictures), advising
// the whole huge pages inside that room from kHugePageThreshold up: malloc hands out such
// blocks unaligned, and without the advice every 4 KiB the vector grows into is a fault.
void ReserveHugePages(std::vector<uint8_t>& bytes, size_t capacity);

template <typename T>
T* PixelAllocator<T>::allocate(size_t count) {
    if (count > SIZE_MAX / sizeof(T)) {
        throw std::bad_array_new_length();
    }
    void* block = AllocatePixels(count * sizeof(T));
    if (!block) {
        throw std::bad_alloc();
    }
    return static_cast<T*>(block);
}

}  // namespace velmora
