// File access for the conversion: whole-file reads and crash-safe replacing writes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace velmora {

bool FileExists(const std::string& path);

// The part of the path after its last "/" (the whole path when it has none).
std::string FileNameOf(const std::string& path);

// Reads the whole file with one allocation. Raises EFOpenError when it cannot be opened
// (or is a directory), EOutOfMemory when it does not fit in memory and EReadError when it
// cannot be read to its end.
std::vector<uint8_t> ReadWholeFile(const std::string& path);

// Replaces (or creates) the file at path with exactly these bytes, never leaving a partial
// file behind: the bytes go to a hidden temporary file in the same directory, which is
// flushed to disk and then renamed over path. An existing file that may not be written
// (no write permission bit, as a read-only file on other systems) and a directory that may
// not be written are refused with EFCreateError, also for the superuser. A short write raises
// EWriteError. On every failure the old file is untouched and no temporary file remains.
// A replaced file keeps its permission bits; a new one gets 0666 less the umask.
void WriteFileReplacing(const std::string& path, const uint8_t* data, size_t size);

}  // namespace velmora
