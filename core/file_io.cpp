#include "file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <new>
#include <optional>
#include <random>

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

// Read-only files and directories are respected even by the superuser, whom the kernel would
// otherwise let through: a file without any write bit is not ours to replace.
// Returns the permission bits of the existing file, or nothing for a new one.
std::optional<mode_t> CheckWritable(const std::string& path, const std::string& directory) {
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
        return fileInfo.st_mode & 07777;
    }
    return std::nullopt;
}

// A new hidden file beside the target. Created with 0666 so that the kernel applies the umask,
// as for any new file; reading the umask would mean changing it for every thread.
int CreateTemporary(const std::string& directory, const std::string& name, std::string& path) {
    static std::atomic<unsigned> counter{0};
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        char suffix[32];
        std::snprintf(suffix, sizeof suffix, "velmora-%d-%08x", int(::getpid()),
                      random() ^ (counter++ * 2654435761u));
        // Very long names fall back to the short form.
        path = directory + "/." + (name.size() <= 200 ? name + "." : std::string()) + suffix;
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) {
            return fd;
        }
    }
    return -1;
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

std::string FileNameOf(const std::string& path) {
    return path.substr(path.rfind('/') + 1);
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
    std::vector<uint8_t> bytes;
    try {
        bytes.resize(static_cast<size_t>(info.st_size));
    } catch (const std::bad_alloc&) {
        throw EOutOfMemory();
    }
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
    const std::optional<mode_t> existingMode = CheckWritable(path, directory);

    std::string temporaryPath;
    FileDescriptor fd(CreateTemporary(directory, FileNameOf(path), temporaryPath));
    if (!fd.Valid()) {
        throw EFCreateError(path, errno);
    }
    TemporaryFile temporary(temporaryPath);
    // A replaced file keeps its permission bits.
    if (existingMode && ::fchmod(fd.Get(), *existingMode) != 0) {
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
