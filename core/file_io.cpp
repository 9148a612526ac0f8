#include "file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "errors.h"

namespace velmora {

namespace {

constexpr mode_t kAnyWriteBit = S_IWUSR | S_IWGRP | S_IWOTH;

// Owns a file descriptor.
class FileDescriptor {
  public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    int Get() const { return fd_; }
    bool Valid() const { return fd_ >= 0; }
    // Closes now and reports whether the close succeeded (a delayed write error shows here).
    bool Close() {
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0;
    }

  private:
    int fd_;
};

// A temporary file that is removed unless it was renamed into place.
class TemporaryFile {
  public:
    explicit TemporaryFile(std::string path) : path_(std::move(path)) {}
    ~TemporaryFile() {
        if (!path_.empty()) {
            ::unlink(path_.c_str());
        }
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    const std::string& Path() const { return path_; }
    void Keep() { path_.clear(); }

  private:
    std::string path_;
};

std::string DirectoryOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string NameOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

mode_t CurrentUmask() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
}

// Read-only files and directories are respected even by the superuser, whom the kernel would
// otherwise let through: a file without any write bit is not ours to replace.
void CheckWritable(const std::string& path, const std::string& directory, mode_t& modeForNewFile) {
    struct stat directoryInfo {};
    if (::stat(directory.c_str(), &directoryInfo) != 0) {
        throw EFCreateError(path, errno);
    }
    if (!S_ISDIR(directoryInfo.st_mode)) {
        throw EFCreateError(path, ENOTDIR);
    }
    if ((directoryInfo.st_mode & kAnyWriteBit) == 0 || ::access(directory.c_str(), W_OK) != 0) {
        throw EFCreateError(path, EACCES);
    }
    struct stat fileInfo {};
    if (::stat(path.c_str(), &fileInfo) == 0) {
        if (S_ISDIR(fileInfo.st_mode)) {
            throw EFCreateError(path, EISDIR);
        }
        if ((fileInfo.st_mode & kAnyWriteBit) == 0 || ::access(path.c_str(), W_OK) != 0) {
            throw EFCreateError(path, EACCES);
        }
        modeForNewFile = fileInfo.st_mode & 07777;
    } else {
        modeForNewFile = 0666 & ~CurrentUmask();
    }
}

void WriteAll(int fd, const uint8_t* data, size_t size) {
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            throw EWriteError();
        }
        data += written;
        size -= static_cast<size_t>(written);
    }
}

void SyncDirectory(const std::string& directory) {
    FileDescriptor fd(::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.Valid()) {
        ::fsync(fd.Get());
    }
}

}  // namespace

bool FileExists(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
}

std::vector<uint8_t> ReadWholeFile(const std::string& path) {
    FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd.Valid()) {
        throw EFOpenError(path, errno);
    }
    struct stat info {};
    if (::fstat(fd.Get(), &info) != 0) {
        throw EFOpenError(path, errno);
    }
    if (S_ISDIR(info.st_mode)) {
        throw EFOpenError(path, EISDIR);
    }
    std::vector<uint8_t> bytes(static_cast<size_t>(info.st_size));
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::read(fd.Get(), bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            throw EReadError();
        }
        done += static_cast<size_t>(n);
    }
    return bytes;
}

void WriteFileReplacing(const std::string& path, const uint8_t* data, size_t size) {
    const std::string directory = DirectoryOf(path);
    mode_t mode = 0;
    CheckWritable(path, directory, mode);

    // The temporary name is hidden from listings; very long names fall back to a short one.
    const std::string name = NameOf(path);
    std::string pattern =
        directory + "/." + (name.size() <= 200 ? name + "." : std::string()) + "velmora-XXXXXX";
    FileDescriptor fd(::mkstemp(pattern.data()));
    if (!fd.Valid()) {
        throw EFCreateError(path, errno);
    }
    TemporaryFile temporary(pattern);
    if (::fchmod(fd.Get(), mode) != 0) {
        throw EFCreateError(path, errno);
    }
    WriteAll(fd.Get(), data, size);
    if (::fsync(fd.Get()) != 0 || !fd.Close()) {
        throw EWriteError();
    }
    if (::rename(temporary.Path().c_str(), path.c_str()) != 0) {
        throw EFCreateError(path, errno);
    }
    temporary.Keep();
    SyncDirectory(directory);
}

}  // namespace velmora
