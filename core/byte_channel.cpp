#include "byte_channel.h"

namespace velmora {

uint8_t* ByteChannel::NewChunk() {
    // Allocated outside the lock: the reader never waits for the allocator.
    auto bytes = std::make_unique_for_overwrite<uint8_t[]>(kChunkBytes);
    uint8_t* data = bytes.get();
    const std::lock_guard lock(mutex_);
    chunks_.push_back({std::move(bytes), 0, false});
    return data;
}

void ByteChannel::Publish(size_t bytes) {
    {
        const std::lock_guard lock(mutex_);
        Chunk& chunk = chunks_.back();
        chunk.size = bytes;
        chunk.published = true;
        size_ += bytes;
    }
    published_.notify_one();
}

void ByteChannel::Close(bool failed) {
    {
        const std::lock_guard lock(mutex_);
        closed_ = true;
        failed_ = failed;
    }
    published_.notify_one();
}

ByteChannel::TTake ByteChannel::Take(const uint8_t*& data, size_t& size) {
    std::unique_ptr<uint8_t[]> done;  // freed outside the lock
    std::unique_lock lock(mutex_);
    if (reading_) {
        done = std::move(chunks_.front().bytes);
        chunks_.pop_front();
        reading_ = false;
    }
    for (;;) {
        published_.wait(lock, [this] {
            return failed_ || (!chunks_.empty() && chunks_.front().published) || closed_;
        });
        // libjpeg must never be handed an empty buffer: an encoder that stopped right at a
        // chunk's end publishes one.
        if (failed_ || chunks_.empty() || !chunks_.front().published || chunks_.front().size != 0) {
            break;
        }
        chunks_.pop_front();
    }
    if (failed_) {
        return TTake::kFailed;
    }
    if (chunks_.empty() || !chunks_.front().published) {
        return TTake::kEnd;
    }
    reading_ = true;
    data = chunks_.front().bytes.get();
    size = chunks_.front().size;
    return TTake::kData;
}

uint64_t ByteChannel::Size() const {
    const std::lock_guard lock(mutex_);
    return size_;
}

}  // namespace velmora
