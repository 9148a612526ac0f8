// WriteFileInPlace (file_io.h): overwriting a file where it is.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "errors.h"
#include "file_descriptor.h"
#include "file_io.h"

namespace velmora {

namespace {

constexpr mode_t kAnyWriteBit = S_IWUSR | S_IWGRP | S_IWOTH;

void WriteAt(int fd, off_t offset, const uint8_t* data, size_t size) {
    if (::lseek(fd, offset, SEEK_SET) != offset) {
        throw EWriteError();
    }
    WriteAll(fd, data, size);
}

}  // namespace

void WriteFileInPlace(const std::string& path, const uint8_t* data, size_t size) {
    // Without waiting: a pipe in the file's place has no reader to wait for.
    FileDescriptor fd(::open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (!fd.Valid()) {
        throw EFCreateError(path, errno);
    }
    struct stat info {};
    if (::fstat(fd.Get(), &info) != 0) {
        throw EFCreateError(path, errno);
    }
    if (!S_ISREG(info.st_mode)) {
        throw EFCreateError(path, "Not a regular file");
    }
    // As the replacing write: a file without any write bit stays, also for the superuser.
    if ((info.st_mode & kAnyWriteBit) == 0) {
        throw EFCreateError(path, EACCES);
    }
    const off_t oldSize = info.st_size;
    const auto newSize = static_cast<off_t>(size);
    if (newSize > oldSize) {
        try {
            WriteAt(fd.Get(), oldSize, data + oldSize, size - static_cast<size_t>(oldSize));
        } catch (const EWriteError&) {
            // The old bytes are all still there.
            if (::ftruncate(fd.Get(), oldSize) != 0) {
                throw EWriteError();
            }
            throw;
        }
    }
    WriteAt(fd.Get(), 0, data, static_cast<size_t>(std::min(oldSize, newSize)));
    if ((newSize < oldSize && ::ftruncate(fd.Get(), newSize) != 0) || ::fsync(fd.Get()) != 0 ||
        !fd.Close()) {
        throw EWriteError();
    }
}

}  // namespace velmora
