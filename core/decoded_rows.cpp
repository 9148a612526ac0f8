#include "decoded_rows.h"

#include <cstring>
#include <stdexcept>

#include "row_blocks.h"

namespace velmora {

// The decoder on its thread, filling blocks of rows ahead of the reader.
class DecodedRows::AheadOnThread {
  public:
    AheadOnThread(jpeg::JpegReader& reader, size_t rowBytes, HelperThread& thread)
        : reader_(reader), blocks_(rowBytes, kStageRowsPerBlock, kStageBlocks), run_(thread) {}

    ~AheadOnThread() {
        if (running_) {
            blocks_.Stop();
            run_.Join();
        }
    }
    AheadOnThread(const AheadOnThread&) = delete;
    AheadOnThread& operator=(const AheadOnThread&) = delete;

    // False when the system refuses the thread: nothing runs.
    bool Start() {
        running_ = run_.Start([this] { DecodeBlocks(); }, [this] { blocks_.Close(); });
        return running_;
    }

    const uint8_t* Next() {
        if (used_ == block_.count) {
            block_ = blocks_.Take();
            used_ = 0;
            if (block_.count == 0) {
                // The decoding ended before this row: its error is this row's.
                RaiseError();
                throw std::logic_error("decoded rows read past the end");
            }
        }
        return block_.rows + static_cast<size_t>(used_++) * blocks_.RowBytes();
    }

    // The thread finishes the decoding itself once the last row is handed over.
    void Finish() { RaiseError(); }

  private:
    void DecodeBlocks() {
        if (blocks_.WriteRows(reader_.OutputHeight(),
                              [this](uint8_t* row) { reader_.ReadRow(row); })) {
            reader_.Finish();
            blocks_.Close();
        }
    }

    void RaiseError() {
        running_ = false;
        if (const std::exception_ptr error = run_.Join()) {
            std::rethrow_exception(error);
        }
    }

    jpeg::JpegReader& reader_;
    RowBlocks blocks_;
    HelperRun run_;
    bool running_ = false;
    RowBlocks::Block block_;
    int used_ = 0;
};

DecodedRows::DecodedRows(const std::vector<uint8_t>& bytes, TJPEGDecodeDepth depth,
                         TMetadataKept kept, HelperThread* thread, TDecodingThread use)
    : reader_(bytes.data(), bytes.size()) {
    Begin(depth, kept, thread, use);
}

DecodedRows::DecodedRows(ByteChannel& channel, TJPEGDecodeDepth depth, TMetadataKept kept)
    : reader_(channel) {
    Begin(depth, kept, nullptr, TDecodingThread::kGrayOnly);
}

DecodedRows::~DecodedRows() = default;

const uint8_t* DecodedRows::Next() {
    const uint8_t* decoded = NextDecoded();
    if (!ConvertsRows()) {
        return decoded;
    }
    ConvertRow(decoded, row_.data());
    return row_.data();
}

void DecodedRows::ReadInto(uint8_t* row) {
    if (!ahead_ && !ConvertsRows()) {
        reader_.ReadRow(row);
        return;
    }
    const uint8_t* decoded = NextDecoded();
    if (ConvertsRows()) {
        ConvertRow(decoded, row);
    } else {
        std::memcpy(row, decoded, static_cast<size_t>(Width()) * 3);
    }
}

void DecodedRows::Finish() {
    if (ahead_) {
        ahead_->Finish();
    } else {
        reader_.Finish();
    }
}

void DecodedRows::Begin(TJPEGDecodeDepth depth, TMetadataKept kept, HelperThread* thread,
                        TDecodingThread use) {
    reader_.ReadHeader(true, kept);
    metadata_ = reader_.Metadata();
    reader_.Start(depth, thread != nullptr);
    const size_t width = static_cast<size_t>(Width());
    size_t decodedBytes = width * 3;
    if (reader_.PlainGray()) {
        dither_.emplace(Width(), jpeg::kQuantizedColours);
        decodedBytes = width;
    } else if (reader_.OutputFormat() == TPixelFormat::pf8bit) {
        palette_ = reader_.Palette();
        decodedBytes = width;
    }
    if (ConvertsRows()) {
        row_.resize(width * 3);
    }
    if (thread && (reader_.PlainGray() || use == TDecodingThread::kAny)) {
        ahead_ = std::make_unique<AheadOnThread>(reader_, decodedBytes, *thread);
        if (ahead_->Start()) {
            return;
        }
        ahead_.reset();  // no thread to be had: decoded here as the rows are read
    }
    decoded_.resize(decodedBytes);
}

const uint8_t* DecodedRows::NextDecoded() {
    if (ahead_) {
        return ahead_->Next();
    }
    reader_.ReadRow(decoded_.data());
    return decoded_.data();
}

void DecodedRows::ConvertRow(const uint8_t* decoded, uint8_t* row) {
    if (dither_) {
        dither_->RowToBgr(decoded, row);
    } else {
        PaletteRowToBgr(decoded, Width(), palette_, row);
    }
}

}  // namespace velmora
