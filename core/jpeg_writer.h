// One libjpeg compression into memory, with the system's fixed encoding profile.
#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

#include "bitmap.h"
#include "jpeg_memory.h"
#include "jpeg_object.h"

namespace velmora::jpeg {

class JpegWriter {
  public:
    // Starts a baseline (or simple-progression) JFIF encoding of width × height pixels at the
    // quality, appending to output; the kept metadata is written right after the JFIF marker
    // (orientation or whole markers, then the colour profile). Quality 0 is passed through;
    // libjpeg treats it as 1.
    JpegWriter(std::vector<uint8_t>& output, int width, int height, int quality, bool progressive,
               const TPictureMetadata& metadata);
    // The same encoding published into the channel as it is written (closing the channel is
    // the caller's).
    JpegWriter(ByteChannel& channel, int width, int height, int quality, bool progressive,
               const TPictureMetadata& metadata);
    JpegWriter(const JpegWriter&) = delete;
    JpegWriter& operator=(const JpegWriter&) = delete;

    // What the constructor reserves in the output for an encoding of width × height pixels.
    static size_t ReservedBytes(int width, int height);

    // The next row, top row first, as blue, green, red bytes.
    void WriteRow(const uint8_t* row);
    void Finish();

  private:
    template <typename Step>
    void Call(Step&& step) {
        object_.Call(std::forward<Step>(step));
    }

    template <typename Attach>
    void Start(int width, int height, int quality, bool progressive,
               const TPictureMetadata& metadata, Attach&& attachDestination);

    Compression object_;
    jpeg_compress_struct& cinfo_ = object_.Get();
    MemoryDestination destination_;
    ChannelDestination channelDestination_;
};

// The bitmap's pixels encoded with the profile (palette pixels through their colours).
std::vector<uint8_t> EncodeBitmap(const TBitmap& bitmap, int quality, bool progressive);
// The same encoding published into the channel.
void EncodeBitmap(const TBitmap& bitmap, int quality, bool progressive, ByteChannel& channel);

}  // namespace velmora::jpeg
