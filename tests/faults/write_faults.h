// Makes the file system look full to this test program: write() and fsync() on files (not on
// the standard streams) fail once armed. The core writes files with write(2) and flushes them
// with fsync(2); this program's own definitions of both take the place of the C library's.
#pragma once

#include <cstddef>

namespace velmora::test {

// Lets `bytes` more bytes reach the disk, then fails every write with `error` (a write that
// crosses the budget stores only the bytes within it, as a nearly full disk does).
void FailWritesAfter(size_t bytes, int error);
// Fails every fsync with `error` (a delayed allocation failure reported at flush time).
void FailFsync(int error);
// Back to the real calls.
void ClearWriteFaults();

// Clears the faults when the scope ends, also when a test fails early.
class ScopedWriteFaults {
  public:
    ScopedWriteFaults() = default;
    ~ScopedWriteFaults() { ClearWriteFaults(); }
    ScopedWriteFaults(const ScopedWriteFaults&) = delete;
    ScopedWriteFaults& operator=(const ScopedWriteFaults&) = delete;
};

}  // namespace velmora::test
