#include "stream.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "errors.h"

namespace velmora {

void TStream::ReadBuffer(void* buffer, size_t count) {
    if (count != 0 && Read(buffer, count) != count) {
        throw EReadError();
    }
}

std::vector<uint8_t> TStream::ReadToEnd() {
    const int64_t count = Size() - Position();
    std::vector<uint8_t> bytes;
    try {
        bytes.resize(static_cast<size_t>(count > 0 ? count : 0));
    } catch (const std::bad_alloc&) {
        throw EOutOfMemory();
    }
    ReadBuffer(bytes.data(), bytes.size());
    return bytes;
}

void TMemoryStream::SetPosition(int64_t position) {
    position_ = std::max<int64_t>(position, 0);
}

size_t TMemoryStream::Read(void* buffer, size_t count) {
    if (position_ >= Size()) {
        return 0;
    }
    const size_t available = static_cast<size_t>(Size() - position_);
    const size_t n = std::min(count, available);
    std::memcpy(buffer, data_.data() + position_, n);
    position_ += static_cast<int64_t>(n);
    return n;
}

// Copies straight from the stream's bytes, without filling the new vector first.
std::vector<uint8_t> TMemoryStream::ReadToEnd() {
    const size_t from = std::min(static_cast<size_t>(position_), data_.size());
    try {
        std::vector<uint8_t> bytes(data_.begin() + static_cast<std::ptrdiff_t>(from), data_.end());
        position_ = std::max<int64_t>(position_, Size());
        return bytes;
    } catch (const std::bad_alloc&) {
        throw EOutOfMemory();
    }
}

void TMemoryStream::WriteBuffer(const void* buffer, size_t count) {
    if (count == 0) {
        return;
    }
    const auto* bytes = static_cast<const uint8_t*>(buffer);
    const size_t start = static_cast<size_t>(position_);
    const size_t end = start + count;
    try {
        if (start >= data_.size()) {
            // Appending (the common case): no zero fill before the copy.
            data_.resize(start);
            data_.insert(data_.end(), bytes, bytes + count);
        } else {
            if (end > data_.size()) {
                data_.resize(end);
            }
            std::memcpy(data_.data() + start, bytes, count);
        }
    } catch (const std::bad_alloc&) {
        throw EOutOfMemory();
    }
    position_ = static_cast<int64_t>(end);
}

}  // namespace velmora
