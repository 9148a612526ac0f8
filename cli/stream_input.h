// Reading a stream (standard input, a pipe) to its end.
#pragma once

#include <cstdint>
#include <vector>

namespace velmora::cli {

// Every byte until the end of the stream. Raises EReadError when a read fails and
// EOutOfMemory when the bytes do not fit in memory.
std::vector<uint8_t> ReadToEnd(int fd);

}  // namespace velmora::cli
