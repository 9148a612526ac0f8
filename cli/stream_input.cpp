#include "stream_input.h"

#include <unistd.h>

#include <cerrno>
#include <new>

#include "core/errors.h"

namespace velmora::cli {

namespace {

constexpr size_t kChunk = size_t{1} << 16;

}  // namespace

std::vector<uint8_t> ReadToEnd(int fd) {
    std::vector<uint8_t> bytes;
    try {
        for (;;) {
            const size_t done = bytes.size();
            bytes.resize(done + kChunk);
            const ssize_t n = ::read(fd, bytes.data() + done, kChunk);
            if (n < 0 && errno == EINTR) {
                bytes.resize(done);
                continue;
            }
            if (n < 0) {
                throw EReadError();
            }
            bytes.resize(done + static_cast<size_t>(n));
            if (n == 0) {
                return bytes;
            }
        }
    } catch (const std::bad_alloc&) {
        throw EOutOfMemory();
    }
}

}  // namespace velmora::cli
