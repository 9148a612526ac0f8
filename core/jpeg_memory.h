// Source and destination managers over in-memory buffers, both working in 4096-byte chunks.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>  // jpeglib.h needs FILE declared first
#include <vector>

#include <jpeglib.h>

#include "byte_channel.h"

namespace velmora::jpeg {

// Behaves like libjpeg's file source: hands the data over in chunks; past the end it
// inserts an end-of-image marker with the warning JWRN_JPEG_EOF; no data at all is
// JERR_INPUT_EMPTY. The bytes are not copied and must outlive the decompression.
struct MemorySource {
    jpeg_source_mgr pub;
    const uint8_t* data = nullptr;
    size_t size = 0;
    size_t offset = 0;
};

void AttachMemorySource(jpeg_decompress_struct& cinfo, MemorySource& source, const uint8_t* data,
                        size_t size);

// Appends the encoded bytes to a vector, handing libjpeg its free tail 4096 bytes at a time.
struct MemoryDestination {
    jpeg_destination_mgr pub;
    std::vector<uint8_t>* output = nullptr;
};

void AttachMemoryDestination(jpeg_compress_struct& cinfo, MemoryDestination& destination,
                             std::vector<uint8_t>& output);

// Reads what an encoder on another thread publishes into a channel, waiting for more as
// libjpeg asks for it; the end of the bytes behaves like MemorySource's. Bytes that the
// writer gave up on end the decoding with JERR_INPUT_EOF (the pipeline reports the writer's
// error instead).
struct ChannelSource {
    jpeg_source_mgr pub;
    ByteChannel* channel = nullptr;
    bool anyData = false;
};

void AttachChannelSource(jpeg_decompress_struct& cinfo, ChannelSource& source,
                         ByteChannel& channel);

// Publishes the encoded bytes into a channel chunk by chunk; closing the channel is the
// caller's, once the encoder has finished or failed.
struct ChannelDestination {
    jpeg_destination_mgr pub;
    ByteChannel* channel = nullptr;
};

void AttachChannelDestination(jpeg_compress_struct& cinfo, ChannelDestination& destination,
                              ByteChannel& channel);

}  // namespace velmora::jpeg
