// The rows of one decoding with the picture profile, as blue, green, red bytes (palette rows
// through their colours), for a stage that takes them one at a time.
//
// Given a thread of its own, the decoding runs there ahead of the reader and hands its rows
// over in blocks. A one-component picture is then decoded as plain gray rows and dithered to
// its gray levels on the reading thread (gray_dither.h): the same rows as libjpeg's own
// quantizing decoder gives, from two threads instead of one. An error of the decoding is
// raised where the rows it kept from the reader would have been read, so the reader meets the
// errors in the order the decoding on its own thread would.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "bitmap.h"
#include "byte_channel.h"
#include "gray_dither.h"
#include "helper_run.h"
#include "jpeg_image.h"
#include "jpeg_reader.h"
#include "picture_metadata.h"

namespace velmora {

// Which pictures take the thread a decoding is given.
enum class TDecodingThread {
    kGrayOnly,  // a colour picture is decoded on the reading thread, as it reads
    kAny,
};

class DecodedRows {
  public:
    // The bytes must outlive the rows. thread, when given, is the decoding's own for the
    // pictures that `use` names.
    DecodedRows(const std::vector<uint8_t>& bytes, TJPEGDecodeDepth depth, TMetadataKept kept,
                HelperThread* thread = nullptr, TDecodingThread use = TDecodingThread::kGrayOnly);
    DecodedRows(ByteChannel& channel, TJPEGDecodeDepth depth, TMetadataKept kept);
    // Stops and joins the decoding's thread when it still runs (the reader gave up early).
    ~DecodedRows();
    DecodedRows(const DecodedRows&) = delete;
    DecodedRows& operator=(const DecodedRows&) = delete;

    int Width() const { return reader_.OutputWidth(); }
    int Height() const { return reader_.OutputHeight(); }
    const TPictureMetadata& Metadata() const { return metadata_; }

    // The next row, valid until the next one is read.
    const uint8_t* Next();
    // The next row, into a row of Width() × 3 bytes.
    void ReadInto(uint8_t* row);
    // After the last row: the end of the decoding (its error, if the data after the rows has
    // one).
    void Finish();

  private:
    class AheadOnThread;

    void Begin(TJPEGDecodeDepth depth, TMetadataKept kept, HelperThread* thread,
               TDecodingThread use);
    // The next row as the decoder gives it: colour, palette indexes or plain gray.
    const uint8_t* NextDecoded();
    bool ConvertsRows() const { return dither_.has_value() || !palette_.empty(); }
    void ConvertRow(const uint8_t* decoded, uint8_t* row);

    jpeg::JpegReader reader_;
    TPictureMetadata metadata_;
    std::vector<TPaletteEntry> palette_;
    std::optional<GrayDither> dither_;
    std::vector<uint8_t> decoded_;  // a row as decoded here, without a thread
    std::vector<uint8_t> row_;      // a converted row
    std::unique_ptr<AheadOnThread> ahead_;
};

}  // namespace velmora
