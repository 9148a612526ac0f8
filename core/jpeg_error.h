// The one error manager of every libjpeg object: fatal errors jump back to the adapter, which
// destroys the object and raises EJPEG; warnings and traces are ignored.
#pragma once

#include <csetjmp>
#include <cstdio>  // jpeglib.h needs FILE declared first

#include <jpeglib.h>

namespace velmora::jpeg {

struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    int code = 0;
};

// Installs the manager's handlers and returns the table to put into cinfo.err.
jpeg_error_mgr* AttachErrorManager(ErrorManager& manager);

}  // namespace velmora::jpeg
