#include "write_faults.h"

#include <fcntl.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdarg>
#include <mutex>
#include <utility>

namespace velmora::test {

namespace {

std::atomic<bool> writesFail{false};
std::atomic<size_t> writeBudget{0};
std::atomic<int> writeError{0};
std::atomic<int> fsyncError{0};
std::atomic<bool> unnamedFilesRefused{false};
std::mutex actionMutex;
std::function<void()> nextWriteAction;

// The action armed for the next write, taken so that it runs once.
std::function<void()> TakeNextWriteAction() {
    const std::lock_guard lock(actionMutex);
    return std::exchange(nextWriteAction, nullptr);
}

bool IsStandardStream(int fd) {
    return fd == STDIN_FILENO || fd == STDOUT_FILENO || fd == STDERR_FILENO;
}

}  // namespace

void FailWritesAfter(size_t bytes, int error) {
    writeBudget = bytes;
    writeError = error;
    writesFail = true;
}

void FailFsync(int error) {
    fsyncError = error;
}

void RefuseUnnamedFiles(bool refuse) {
    unnamedFilesRefused = refuse;
}

void BeforeNextWrite(std::function<void()> action) {
    const std::lock_guard lock(actionMutex);
    nextWriteAction = std::move(action);
}

void ClearWriteFaults() {
    writesFail = false;
    fsyncError = 0;
    BeforeNextWrite(nullptr);
}

}  // namespace velmora::test

extern "C" ssize_t write(int fd, const void* buffer, size_t count) {
    using namespace velmora::test;
    if (!IsStandardStream(fd)) {
        if (const std::function<void()> action = TakeNextWriteAction()) {
            action();
        }
    }
    if (writesFail && !IsStandardStream(fd)) {
        const size_t budget = writeBudget;
        if (budget == 0) {
            errno = writeError;
            return -1;
        }
        if (count > budget) {
            count = budget;
        }
        const ssize_t written = ::syscall(SYS_write, fd, buffer, count);
        if (written > 0) {
            writeBudget -= static_cast<size_t>(written);
        }
        return written;
    }
    return ::syscall(SYS_write, fd, buffer, count);
}

extern "C" int fsync(int fd) {
    using namespace velmora::test;
    if (fsyncError != 0 && !IsStandardStream(fd)) {
        errno = fsyncError;
        return -1;
    }
    return static_cast<int>(::syscall(SYS_fsync, fd));
}

extern "C" int openat(int directory, const char* path, int flags, ...) {
    using namespace velmora::test;
    mode_t mode = 0;
    if ((flags & O_CREAT) != 0 || (flags & O_TMPFILE) == O_TMPFILE) {
        va_list arguments;
        va_start(arguments, flags);
        mode = static_cast<mode_t>(va_arg(arguments, int));
        va_end(arguments);
    }
    if (unnamedFilesRefused && (flags & O_TMPFILE) == O_TMPFILE) {
        errno = EOPNOTSUPP;
        return -1;
    }
    return static_cast<int>(::syscall(SYS_openat, directory, path, flags, mode));
}
