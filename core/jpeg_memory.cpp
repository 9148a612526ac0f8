#include "jpeg_memory.h"

#include <algorithm>
#include <new>

#include <jerror.h>

namespace velmora::jpeg {

namespace {

constexpr size_t kChunk = 4096;
const JOCTET kEndOfImage[2] = {0xFF, JPEG_EOI};

MemorySource& SourceOf(j_decompress_ptr cinfo) {
    return *reinterpret_cast<MemorySource*>(cinfo->src);
}

void InitSource(j_decompress_ptr) {}

// Past the end of the data both sources hand libjpeg an end-of-image marker, with a warning,
// so that a cut file decodes what it holds.
boolean PointAtEndOfImage(j_decompress_ptr cinfo) {
    WARNMS(cinfo, JWRN_JPEG_EOF);
    cinfo->src->next_input_byte = kEndOfImage;
    cinfo->src->bytes_in_buffer = sizeof kEndOfImage;
    return TRUE;
}

boolean FillInputBuffer(j_decompress_ptr cinfo) {
    MemorySource& source = SourceOf(cinfo);
    if (source.offset >= source.size) {
        if (source.size == 0) {
            ERREXIT(cinfo, JERR_INPUT_EMPTY);
        }
        return PointAtEndOfImage(cinfo);
    }
    const size_t n = std::min(kChunk, source.size - source.offset);
    source.pub.next_input_byte = source.data + source.offset;
    source.pub.bytes_in_buffer = n;
    source.offset += n;
    return TRUE;
}

// Skips through whichever source is attached, refilling it with its own fill function.
void SkipInputData(j_decompress_ptr cinfo, long count) {
    if (count <= 0) {
        return;
    }
    jpeg_source_mgr& source = *cinfo->src;
    size_t remaining = static_cast<size_t>(count);
    while (remaining > source.bytes_in_buffer) {
        remaining -= source.bytes_in_buffer;
        source.fill_input_buffer(cinfo);
    }
    source.next_input_byte += remaining;
    source.bytes_in_buffer -= remaining;
}

void TermSource(j_decompress_ptr) {}

MemoryDestination& DestinationOf(j_compress_ptr cinfo) {
    return *reinterpret_cast<MemoryDestination*>(cinfo->dest);
}

// Grows the output by one chunk and points libjpeg at it. An allocation failure becomes
// libjpeg's own out-of-memory error, raised once the failed call has unwound, so that no C++
// exception crosses libjpeg's frames and the jump skips no C++ object.
void GrowByChunk(j_compress_ptr cinfo) {
    MemoryDestination& destination = DestinationOf(cinfo);
    bool grown = true;
    try {
        destination.output->resize(destination.output->size() + kChunk);
    } catch (const std::bad_alloc&) {
        grown = false;
    }
    if (!grown) {
        ERREXIT1(cinfo, JERR_OUT_OF_MEMORY, 0);
    }
    destination.pub.next_output_byte =
        destination.output->data() + destination.output->size() - kChunk;
    destination.pub.free_in_buffer = kChunk;
}

void InitDestination(j_compress_ptr cinfo) {
    GrowByChunk(cinfo);
}

// libjpeg calls this only when the whole chunk is full.
boolean EmptyOutputBuffer(j_compress_ptr cinfo) {
    GrowByChunk(cinfo);
    return TRUE;
}

void TermDestination(j_compress_ptr cinfo) {
    MemoryDestination& destination = DestinationOf(cinfo);
    destination.output->resize(destination.output->size() - destination.pub.free_in_buffer);
    destination.pub.free_in_buffer = 0;
}

ChannelSource& ChannelSourceOf(j_decompress_ptr cinfo) {
    return *reinterpret_cast<ChannelSource*>(cinfo->src);
}

// The wait happens here, with no libjpeg jump pending: the lock is released before any
// ERREXIT below jumps out.
boolean FillFromChannel(j_decompress_ptr cinfo) {
    ChannelSource& source = ChannelSourceOf(cinfo);
    const uint8_t* data = nullptr;
    size_t size = 0;
    const ByteChannel::TTake took = source.channel->Take(data, size);
    if (took == ByteChannel::TTake::kFailed) {
        ERREXIT(cinfo, JERR_INPUT_EOF);
    }
    if (took == ByteChannel::TTake::kEnd) {
        if (!source.anyData) {
            ERREXIT(cinfo, JERR_INPUT_EMPTY);
        }
        return PointAtEndOfImage(cinfo);
    }
    source.anyData = true;
    source.pub.next_input_byte = data;
    source.pub.bytes_in_buffer = size;
    return TRUE;
}

ChannelDestination& ChannelDestinationOf(j_compress_ptr cinfo) {
    return *reinterpret_cast<ChannelDestination*>(cinfo->dest);
}

// An allocation failure becomes libjpeg's out-of-memory error, as in GrowByChunk.
void NextChannelChunk(j_compress_ptr cinfo) {
    ChannelDestination& destination = ChannelDestinationOf(cinfo);
    uint8_t* chunk = nullptr;
    try {
        chunk = destination.channel->NewChunk();
    } catch (const std::bad_alloc&) {
        chunk = nullptr;
    }
    if (!chunk) {
        ERREXIT1(cinfo, JERR_OUT_OF_MEMORY, 0);
    }
    destination.pub.next_output_byte = chunk;
    destination.pub.free_in_buffer = ByteChannel::kChunkBytes;
}

void InitChannelDestination(j_compress_ptr cinfo) {
    NextChannelChunk(cinfo);
}

boolean EmptyChannelChunk(j_compress_ptr cinfo) {
    ChannelDestinationOf(cinfo).channel->Publish(ByteChannel::kChunkBytes);
    NextChannelChunk(cinfo);
    return TRUE;
}

void TermChannelDestination(j_compress_ptr cinfo) {
    ChannelDestination& destination = ChannelDestinationOf(cinfo);
    destination.channel->Publish(ByteChannel::kChunkBytes - destination.pub.free_in_buffer);
    destination.pub.free_in_buffer = 0;
}

// The parts of a source manager both sources share; fill is what tells them apart.
void AttachSource(jpeg_decompress_struct& cinfo, jpeg_source_mgr& source,
                  boolean (*fill)(j_decompress_ptr)) {
    source.init_source = InitSource;
    source.fill_input_buffer = fill;
    source.skip_input_data = SkipInputData;
    source.resync_to_restart = jpeg_resync_to_restart;
    source.term_source = TermSource;
    source.next_input_byte = nullptr;
    source.bytes_in_buffer = 0;
    cinfo.src = &source;
}

}  // namespace

void AttachChannelSource(jpeg_decompress_struct& cinfo, ChannelSource& source,
                         ByteChannel& channel) {
    source.channel = &channel;
    source.anyData = false;
    AttachSource(cinfo, source.pub, FillFromChannel);
}

void AttachChannelDestination(jpeg_compress_struct& cinfo, ChannelDestination& destination,
                              ByteChannel& channel) {
    destination.pub.init_destination = InitChannelDestination;
    destination.pub.empty_output_buffer = EmptyChannelChunk;
    destination.pub.term_destination = TermChannelDestination;
    destination.channel = &channel;
    cinfo.dest = &destination.pub;
}

void AttachMemorySource(jpeg_decompress_struct& cinfo, MemorySource& source, const uint8_t* data,
                        size_t size) {
    source.data = data;
    source.size = size;
    source.offset = 0;
    AttachSource(cinfo, source.pub, FillInputBuffer);
}

void AttachMemoryDestination(jpeg_compress_struct& cinfo, MemoryDestination& destination,
                             std::vector<uint8_t>& output) {
    destination.pub.init_destination = InitDestination;
    destination.pub.empty_output_buffer = EmptyOutputBuffer;
    destination.pub.term_destination = TermDestination;
    destination.output = &output;
    cinfo.dest = &destination.pub;
}

}  // namespace velmora::jpeg
