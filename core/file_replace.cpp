// WriteFileReplacing (file_io.h): the crash-safe replacing write.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <optional>
#include <string>

#include "errors.h"
#include "file_descriptor.h"
#include "file_io.h"
#include "writer_temporaries.h"

namespace velmora {

namespace {

constexpr mode_t kAnyWriteBit = S_IWUSR | S_IWGRP | S_IWOTH;
constexpr mode_t kPermissionBits = S_IRWXU | S_IRWXG | S_IRWXO;
constexpr int kNameAttempts = 100;

// Errors of the unnamed temporary file that mean the file system (or kernel) has none.
bool NoUnnamedFiles(int error) {
    return error == EOPNOTSUPP || error == EISDIR || error == EINVAL;
}

// One replacing write. The temporary file is unnamed (O_TMPFILE) where the file system has
// such files: a killed or ended process then leaves nothing behind, and the file gets a name
// only when it is complete. Elsewhere it is a hidden file named after this process, which a
// later writer removes when the process is gone (writer_temporaries.h).
class ReplacingWrite {
  public:
    explicit ReplacingWrite(const std::string& path) : path_(path), name_(FileNameOf(path)) {}
    ~ReplacingWrite() {
        if (!temporaryName_.empty()) {
            ::unlinkat(directory_.Get(), temporaryName_.c_str(), 0);
        }
    }
    ReplacingWrite(const ReplacingWrite&) = delete;
    ReplacingWrite& operator=(const ReplacingWrite&) = delete;

    void Run(const uint8_t* data, size_t size) {
        if (name_.empty() || name_ == "." || name_ == "..") {
            Fail(EISDIR);
        }
        OpenDirectory();
        CheckTarget();
        RemoveStaleTemporaries(directory_.Get());
        CreateTemporary();
        KeepOwnerAndMode();
        WriteAll(file_.Get(), data, size);
        if (::fsync(file_.Get()) != 0) {
            throw EWriteError();
        }
        PutInPlace();
        if (directorySyncable_) {
            ::fsync(directory_.Get());
        }
    }

  private:
    [[noreturn]] void Fail(int error) const { throw EFCreateError(path_, error); }

    // A directory that may be written but not read can still take the file; only its flush
    // needs it open for reading.
    void OpenDirectory() {
        const std::string directory = DirectoryOf(path_);
        int fd = ::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        directorySyncable_ = fd >= 0;
        if (fd < 0 && errno == EACCES) {
            fd = ::open(directory.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
        }
        if (fd < 0) {
            Fail(errno);
        }
        directory_ = FileDescriptor(fd);
    }

    // Read-only files and directories are respected even by the superuser, whom the kernel
    // would otherwise let through: a file without any write bit is not ours to replace.
    void CheckTarget() {
        struct stat directoryInfo {};
        if (::fstat(directory_.Get(), &directoryInfo) != 0) {
            Fail(errno);
        }
        if ((directoryInfo.st_mode & kAnyWriteBit) == 0) {
            Fail(EACCES);
        }
        if (::faccessat(directory_.Get(), ".", W_OK, 0) != 0) {
            Fail(errno);
        }
        struct stat info {};
        if (::fstatat(directory_.Get(), name_.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) {
            if (errno != ENOENT) {
                Fail(errno);
            }
            return;
        }
        targetExists_ = true;
        if (S_ISLNK(info.st_mode)) {
            // The link is replaced, not what it points at; a link to a directory is left alone,
            // as the directory itself would be.
            struct stat linked {};
            if (::fstatat(directory_.Get(), name_.c_str(), &linked, 0) == 0 &&
                S_ISDIR(linked.st_mode)) {
                Fail(EISDIR);
            }
            return;
        }
        if (S_ISDIR(info.st_mode)) {
            Fail(EISDIR);
        }
        if (!S_ISREG(info.st_mode)) {
            throw EFCreateError(path_, "Not a regular file");
        }
        if ((info.st_mode & kAnyWriteBit) == 0) {
            Fail(EACCES);
        }
        if (::faccessat(directory_.Get(), name_.c_str(), W_OK, 0) != 0) {
            Fail(errno);
        }
        replaced_ = info;
    }

    // Created with 0666 so that the kernel applies the umask, as for any new file; reading the
    // umask would mean changing it for every thread.
    void CreateTemporary() {
        const int unnamed = ::openat(directory_.Get(), ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
        if (unnamed >= 0) {
            file_ = FileDescriptor(unnamed);
            return;
        }
        if (!NoUnnamedFiles(errno)) {
            Fail(errno);
        }
        for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
            const std::string name = NewTemporaryName();
            const int fd = ::openat(directory_.Get(), name.c_str(),
                                    O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            if (fd >= 0) {
                file_ = FileDescriptor(fd);
                temporaryName_ = name;
                return;
            }
            if (errno != EEXIST) {
                Fail(errno);
            }
        }
        Fail(EEXIST);
    }

    // Only the superuser may give a file to another owner (or to a group it is not in);
    // without that right the new file is the writer's, as any file it creates.
    void KeepOwnerAndMode() {
        if (!replaced_) {
            return;
        }
        if (::fchown(file_.Get(), replaced_->st_uid, replaced_->st_gid) != 0 && errno != EPERM &&
            errno != EINVAL) {
            Fail(errno);
        }
        if (::fchmod(file_.Get(), replaced_->st_mode & kPermissionBits) != 0) {
            Fail(errno);
        }
    }

    void PutInPlace() {
        if (!temporaryName_.empty()) {
            if (!file_.Close()) {
                throw EWriteError();
            }
            RenameTemporary();
            return;
        }
        // A new file is linked in under its own name at once; a replaced one needs a name of
        // its own for the rename, held only between these two calls.
        if (!targetExists_) {
            if (LinkUnnamed(name_)) {
                return;
            }
            if (errno != EEXIST) {
                Fail(errno);
            }
        }
        for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
            const std::string name = NewTemporaryName();
            if (LinkUnnamed(name)) {
                temporaryName_ = name;
                RenameTemporary();
                return;
            }
            if (errno != EEXIST) {
                Fail(errno);
            }
        }
        Fail(EEXIST);
    }

    // Gives the unnamed file a name in the directory; false with errno set when it cannot.
    // Through /proc no privilege is needed; without /proc only the descriptor itself is left.
    bool LinkUnnamed(const std::string& name) const {
        const std::string self = "/proc/self/fd/" + std::to_string(file_.Get());
        if (::linkat(AT_FDCWD, self.c_str(), directory_.Get(), name.c_str(), AT_SYMLINK_FOLLOW) ==
            0) {
            return true;
        }
        if (errno != ENOENT) {
            return false;
        }
        return ::linkat(file_.Get(), "", directory_.Get(), name.c_str(), AT_EMPTY_PATH) == 0;
    }

    void RenameTemporary() {
        if (::renameat(directory_.Get(), temporaryName_.c_str(), directory_.Get(), name_.c_str()) !=
            0) {
            Fail(errno);
        }
        temporaryName_.clear();
    }

    const std::string& path_;
    const std::string name_;
    FileDescriptor directory_;
    bool directorySyncable_ = false;
    bool targetExists_ = false;
    std::optional<struct stat> replaced_;  // the regular file being replaced
    FileDescriptor file_;
    std::string temporaryName_;  // a named temporary file, removed unless put in place
};

}  // namespace

void WriteFileReplacing(const std::string& path, const uint8_t* data, size_t size) {
    ReplacingWrite(path).Run(data, size);
}

}  // namespace velmora
