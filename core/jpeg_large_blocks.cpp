// libjpeg's large blocks in huge-page storage. libjpeg takes every large block from
// jpeg_get_large, the allocation hook its system-dependent memory layer leaves to the program;
// among them are the whole-picture coefficient buffers of a progressive decoding and encoding,
// 72 MB each for 24 megapixels. Filled in 4 KiB pages, each such buffer takes some eighteen
// thousand page faults, about a quarter of a progressive conversion's time; defined here, the
// hook gives them the pictures' own storage. These definitions take the place of libjpeg's
// own, since the dynamic linker looks in the program before the library; the core's link
// options bring them into every program that links the core (core/CMakeLists.txt).
#include <cstddef>
#include <cstdio>  // jpeglib.h needs FILE declared first
#include <cstdlib>

#include <jpeglib.h>

#include "pixel_allocator.h"

extern "C" {

// Declared by libjpeg's memory layer, whose header is not installed.
void* jpeg_get_large(j_common_ptr, size_t sizeofobject);
void jpeg_free_large(j_common_ptr, void* object, size_t);

void* jpeg_get_large(j_common_ptr, size_t sizeofobject) {
    return velmora::AllocatePixels(sizeofobject);
}

void jpeg_free_large(j_common_ptr, void* object, size_t) {
    std::free(object);
}

}  // extern "C"
