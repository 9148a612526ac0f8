// Byte streams: the growable in-memory stream that carries encoded pictures between
// the encoder and the decoder.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace velmora {

class TStream {
  public:
    virtual ~TStream() = default;
    virtual int64_t Size() const = 0;
    virtual int64_t Position() const = 0;
    virtual void SetPosition(int64_t position) = 0;
    // Reads up to count bytes; returns how many were read.
    virtual size_t Read(void* buffer, size_t count) = 0;
    // Writes all bytes or raises EWriteError.
    virtual void WriteBuffer(const void* buffer, size_t count) = 0;
    // Reads exactly count bytes or raises EReadError.
    void ReadBuffer(void* buffer, size_t count);
    // Every byte from the position to the end (EReadError when fewer can be read).
    virtual std::vector<uint8_t> ReadToEnd();
};

class TMemoryStream final : public TStream {
  public:
    int64_t Size() const override { return static_cast<int64_t>(data_.size()); }
    int64_t Position() const override { return position_; }
    void SetPosition(int64_t position) override;
    size_t Read(void* buffer, size_t count) override;
    void WriteBuffer(const void* buffer, size_t count) override;
    std::vector<uint8_t> ReadToEnd() override;

    const std::vector<uint8_t>& Data() const { return data_; }

  private:
    std::vector<uint8_t> data_;
    int64_t position_ = 0;
};

}  // namespace velmora
