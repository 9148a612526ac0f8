#include "input_file.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>

#include "errors.h"
#include "pixel_allocator.h"

namespace velmora {

namespace {

constexpr size_t kFirstStreamChunk = size_t{64} << 10;

const char kNotRegular[] = "Not a regular file";

// A directory is refused with the system's own words; anything else that is not a regular
// file only when asked to.
void CheckKind(const std::string& path, mode_t mode, TNonRegular nonRegular) {
    if (S_ISDIR(mode)) {
        throw EFOpenError(path, EISDIR);
    }
    if (!S_ISREG(mode) && nonRegular == TNonRegular::Refuse) {
        throw EFOpenError(path, kNotRegular);
    }
}

// Opening some devices already acts on them (a tape rewinds), and a pipe opened for reading
// waits for a writer: a file that is refused anyway is looked at first and not opened.
int Open(const std::string& path, TNonRegular nonRegular) {
    int flags = O_RDONLY | O_CLOEXEC | O_NOCTTY;
    if (nonRegular == TNonRegular::Refuse) {
        struct stat info {};
        if (::stat(path.c_str(), &info) != 0) {
            throw EFOpenError(path, errno);
        }
        CheckKind(path, info.st_mode, nonRegular);
        // The file can be swapped for a pipe between the look and the opening.
        flags |= O_NONBLOCK;
    }
    const int fd = ::open(path.c_str(), flags);
    if (fd < 0) {
        throw EFOpenError(path, errno);
    }
    return fd;
}

}  // namespace

InputFile::InputFile(const std::string& path, TNonRegular nonRegular)
    : path_(path), fd_(Open(path, nonRegular)) {
    struct stat info {};
    if (::fstat(fd_.Get(), &info) != 0) {
        throw EFOpenError(path, errno);
    }
    CheckKind(path, info.st_mode, nonRegular);
    regular_ = S_ISREG(info.st_mode);
    size_ = info.st_size;
}

const std::vector<uint8_t>& InputFile::Peek(size_t count) {
    while (start_.size() < count) {
        uint8_t buffer[64];
        const size_t n = ReadSome(buffer, std::min(sizeof buffer, count - start_.size()));
        if (n == 0) {
            break;
        }
        start_.insert(start_.end(), buffer, buffer + n);
    }
    return start_;
}

std::vector<uint8_t> InputFile::ReadToEnd(size_t maxBytes) {
    try {
        return regular_ ? ReadRegular(maxBytes) : ReadStream(maxBytes);
    } catch (const std::bad_alloc&) {
        throw EOutOfMemory();
    }
}

size_t InputFile::ReadSome(uint8_t* buffer, size_t count) {
    for (;;) {
        const ssize_t n = ::read(fd_.Get(), buffer, count);
        if (n >= 0) {
            return static_cast<size_t>(n);
        }
        if (errno != EINTR) {
            throw EReadError();
        }
    }
}

std::vector<uint8_t> InputFile::ReadRegular(size_t maxBytes) {
    const auto size = static_cast<uint64_t>(size_);
    if (size > maxBytes) {
        throw EFOpenError(path_, EFBIG);
    }
    if (size < start_.size()) {
        throw EReadError();
    }
    std::vector<uint8_t> bytes;
    ReserveHugePages(bytes, static_cast<size_t>(size));
    bytes.resize(static_cast<size_t>(size));
    std::copy(start_.begin(), start_.end(), bytes.begin());
    for (size_t done = start_.size(); done < bytes.size();) {
        const size_t n = ReadSome(bytes.data() + done, bytes.size() - done);
        if (n == 0) {
            throw EReadError();
        }
        done += n;
    }
    return bytes;
}

// A pipe tells nothing of its length: the bytes are read to its end in growing chunks.
std::vector<uint8_t> InputFile::ReadStream(size_t maxBytes) {
    std::vector<uint8_t> bytes = std::move(start_);
    size_t done = bytes.size();
    for (;;) {
        if (done > maxBytes) {
            throw EFOpenError(path_, EFBIG);
        }
        if (done == bytes.size()) {
            // One byte past the bound shows whether the stream goes on beyond it.
            const size_t bound = maxBytes == SIZE_MAX ? maxBytes : maxBytes + 1;
            bytes.resize(std::min(bound, std::max(kFirstStreamChunk, bytes.size() * 2)));
        }
        const size_t n = ReadSome(bytes.data() + done, bytes.size() - done);
        if (n == 0) {
            break;
        }
        done += n;
    }
    bytes.resize(done);
    return bytes;
}

}  // namespace velmora
