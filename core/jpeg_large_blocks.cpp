// libjpeg's large blocks in huge-page storage. libjpeg takes every large block from
// jpeg_get_large, the allocation hook its system-dependent memory layer leaves to the program;
// among them are the whole-picture coefficient buffers of a progressive decoding and encoding,
// 72 MB each for 24 megapixels. Filled in 4 KiB pages those fault some eighteen thousand times
// apiece, which costs a progressive conversion about a third of its time; defined here, the
// hook gives them the pictures' own storage. The definitions take the place of libjpeg's own
// (the program's symbols come first), and the library links them into every program it is in
// (see CMakeLists.txt).
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
