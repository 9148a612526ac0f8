// One file read from its start: its first bytes can be looked at before it is read whole, and
// a pipe or device in the place of a file neither blocks the reader nor reads as an empty file.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "file_descriptor.h"
#include "file_io.h"

namespace velmora {

class InputFile {
  public:
    // Opens the file for reading. EFOpenError when it cannot be opened, is a directory or, with
    // TNonRegular::Refuse, is anything but a regular file: such a file is looked at before it is
    // opened and opened without waiting, so a pipe without a writer cannot block the caller.
    InputFile(const std::string& path, TNonRegular nonRegular);
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    // The first bytes, up to count (fewer when the file is shorter). They stay part of what
    // ReadToEnd returns, also for a pipe, which cannot be read twice.
    const std::vector<uint8_t>& Peek(size_t count);

    // Every byte of the file; a regular file with one allocation. A file longer than maxBytes
    // is refused with EFOpenError "File too large" (a regular one before anything is read),
    // one that does not fit in memory with EOutOfMemory, and a regular file that ends before
    // its size with EReadError.
    std::vector<uint8_t> ReadToEnd(size_t maxBytes);

  private:
    // Up to count bytes at the current position; 0 at the end.
    size_t ReadSome(uint8_t* buffer, size_t count);
    std::vector<uint8_t> ReadRegular(size_t maxBytes);
    std::vector<uint8_t> ReadStream(size_t maxBytes);

    std::string path_;
    FileDescriptor fd_;
    bool regular_ = false;
    off_t size_ = 0;  // of a regular file, when it was opened
    std::vector<uint8_t> start_;
};

}  // namespace velmora
