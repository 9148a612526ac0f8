// Encoded bytes handed from an encoder on one thread to a decoder on another while they are
// being written, in chunks that never move once written.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>

namespace velmora {

class ByteChannel {
  public:
    static constexpr size_t kChunkBytes = size_t{64} << 10;

    // Writer: a fresh chunk of kChunkBytes to fill (std::bad_alloc when none can be had).
    uint8_t* NewChunk();
    // Writer: the last chunk from NewChunk holds `bytes` bytes now; the reader may take them.
    void Publish(size_t bytes);
    // Writer: nothing more will come; with `failed` the reader is told the bytes are not whole.
    void Close(bool failed);

    enum class TTake { kData, kEnd, kFailed };
    // Reader: waits for the next published bytes. At kData, data and size name them; they
    // stay valid until the next Take. kEnd once all is read; kFailed when the writer failed.
    TTake Take(const uint8_t*& data, size_t& size);

    // Every byte published so far.
    uint64_t Size() const;

  private:
    struct Chunk {
        std::unique_ptr<uint8_t[]> bytes;
        size_t size = 0;
        bool published = false;
    };

    mutable std::mutex mutex_;
    std::condition_variable published_;
    // Chunks already read are dropped from the front.
    std::deque<Chunk> chunks_;
    bool closed_ = false;
    bool failed_ = false;
    bool reading_ = false;  // the front chunk is the one the reader holds
    uint64_t size_ = 0;
};

}  // namespace velmora
