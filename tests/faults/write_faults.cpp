#include "write_faults.h"

#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>

namespace velmora::test {

namespace {

std::atomic<bool> writesFail{false};
std::atomic<size_t> writeBudget{0};
std::atomic<int> writeError{0};
std::atomic<int> fsyncError{0};

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

void ClearWriteFaults() {
    writesFail = false;
    fsyncError = 0;
}

}  // namespace velmora::test

extern "C" ssize_t write(int fd, const void* buffer, size_t count) {
    using namespace velmora::test;
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
