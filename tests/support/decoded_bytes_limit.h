// Lowers the decoded-size bound for the life of one test.
#pragma once

#include <cstddef>

#include "core/jpeg_reader.h"

namespace velmora::test {

class ScopedDecodedBytesLimit {
  public:
    explicit ScopedDecodedBytesLimit(size_t bytes) { jpeg::SetDecodedBytesLimit(bytes); }
    ~ScopedDecodedBytesLimit() { jpeg::SetDecodedBytesLimit(jpeg::kMaxDecodedBytes); }
    ScopedDecodedBytesLimit(const ScopedDecodedBytesLimit&) = delete;
    ScopedDecodedBytesLimit& operator=(const ScopedDecodedBytesLimit&) = delete;
};

}  // namespace velmora::test
