// One libjpeg compression or decompression object with the adapter's error manager, and the
// one way libjpeg is called: a fatal error jumps back into Call, which destroys the object and
// raises EJPEG (EOutOfMemory when libjpeg ran out of memory). No C++ frame with live objects is
// ever jumped over.
#pragma once

#include <csetjmp>

#include <jerror.h>

#include "errors.h"
#include "jpeg_error.h"

namespace velmora::jpeg {

template <typename Info, void (*DestroyInfo)(Info*)>
class JpegObject {
  public:
    JpegObject() { info_.err = AttachErrorManager(errors_); }
    ~JpegObject() { Destroy(); }
    JpegObject(const JpegObject&) = delete;
    JpegObject& operator=(const JpegObject&) = delete;

    Info& Get() { return info_; }
    const Info& Get() const { return info_; }

    // Runs libjpeg steps (the creation step first: the object counts as made once it returns).
    template <typename Step>
    void Call(Step&& step) {
        if (setjmp(errors_.jump) != 0) {
            const int code = errors_.code;
            Destroy();
            if (code == JERR_OUT_OF_MEMORY) {
                throw EOutOfMemory();
            }
            throw EJPEG(code);
        }
        step();
        alive_ = true;
    }

  private:
    void Destroy() {
        if (alive_) {
            alive_ = false;
            DestroyInfo(&info_);
        }
    }

    ErrorManager errors_;
    Info info_{};
    bool alive_ = false;
};

using Decompression = JpegObject<jpeg_decompress_struct, jpeg_destroy_decompress>;
using Compression = JpegObject<jpeg_compress_struct, jpeg_destroy_compress>;

}  // namespace velmora::jpeg
