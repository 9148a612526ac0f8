// The rows of one decoding with the picture profile, as blue, green, red bytes (palette rows
// through their colours), for a stage that takes them one at a time.
//
// Given a thread of its own, a one-component picture is decoded there as plain gray rows,
// handed over in blocks, and dithered to its gray levels on the reading thread (gray_dither.h):
// the same rows as libjpeg's own quantizing decoder gives, from two threads instead of one.
// An error of that decoding is raised where the rows it kept from the reader would have been
// read, so the reader meets the errors in the order the single-thread decoding would.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "bitmap.h"
#include "byte_channel.h"
#include "helper_thread.h"
#include "jpeg_image.h"
#include "jpeg_reader.h"
#include "picture_metadata.h"

namespace velmora {

class DecodedRows {
  public:
    // The bytes must outlive the rows. grayDecoding, when given, is the thread for a
    // one-component picture's decoding (a colour picture leaves it unused).
    DecodedRows(const std::vector<uint8_t>& bytes, TJPEGDecodeDepth depth, TMetadataKept kept,
                HelperThread* grayDecoding = nullptr);
    DecodedRows(ByteChannel& channel, TJPEGDecodeDepth depth, TMetadataKept kept);
    // Stops and joins the gray decoding when it still runs (the reader gave up early).
    ~DecodedRows();
    DecodedRows(const DecodedRows&) = delete;
    DecodedRows& operator=(const DecodedRows&) = delete;

    int Width() const { return reader_.OutputWidth(); }
    int Height() const { return reader_.OutputHeight(); }
    const TPictureMetadata& Metadata() const { return metadata_; }

    // The next row, in a buffer of the decoding's own.
    const uint8_t* Next();
    // The next row, into a row of Width() × 3 bytes.
    void ReadInto(uint8_t* row);
    // After the last row: the end of the decoding (its error, if the data after the rows has
    // one).
    void Finish();

  private:
    class GrayDecoding;

    void Begin(TJPEGDecodeDepth depth, TMetadataKept kept, HelperThread* grayDecoding);

    jpeg::JpegReader reader_;
    TPictureMetadata metadata_;
    std::vector<TPaletteEntry> palette_;
    std::vector<uint8_t> indexes_;
    std::vector<uint8_t> row_;
    std::unique_ptr<GrayDecoding> gray_;
};

}  // namespace velmora
