// Makes the file system look full, or like one without unnamed temporary files, to this test
// program: write() and fsync() on files (not on the standard streams) fail once armed, and
// openat() refuses O_TMPFILE. The core writes files with write(2), flushes them with fsync(2)
// and creates its temporary files with openat(2); this program's own definitions of the three
// take the place of the C library's.
#pragma once

#include <cstddef>
#include <functional>

namespace velmora::test {

// Lets `bytes` more bytes reach the disk, then fails every write with `error` (a write that
// crosses the budget stores only the bytes within it, as a nearly full disk does).
void FailWritesAfter(size_t bytes, int error);
// Fails every fsync with `error` (a delayed allocation failure reported at flush time).
void FailFsync(int error);
// Refuses unnamed temporary files (EOPNOTSUPP), as FAT or an older network file system does,
// or stops refusing them.
void RefuseUnnamedFiles(bool refuse);
// Runs action once, just before the next write to a file.
void BeforeNextWrite(std::function<void()> action);
// Back to the real write() and fsync() (unnamed files stay as RefuseUnnamedFiles left them).
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
