#include "stream.h"

#include <algorithm>
#include <cstring>

#include "errors.h"

namespace velmora {

void TStream::ReadBuffer(void* buffer, size_t count) {
    if (count != 0 && Read(buffer, count) != count) {
        throw EReadError();
    }
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

void TMemoryStream::WriteBuffer(const void* buffer, size_t count) {
    if (count == 0) {
        return;
    }
    const size_t end = static_cast<size_t>(position_) + count;
    if (end > data_.size()) {
        data_.resize(end);
    }
    std::memcpy(data_.data() + position_, buffer, count);
    position_ = static_cast<int64_t>(end);
}

}  // namespace velmora
