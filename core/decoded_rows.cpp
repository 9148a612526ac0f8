#include "decoded_rows.h"

#include <algorithm>
#include <stdexcept>

#include "gray_dither.h"
#include "row_blocks.h"

namespace velmora {

// The plain gray rows decoded on the helper, and their dithering on the reading thread; when
// the system refuses the thread, both here, row by row.
class DecodedRows::GrayDecoding {
  public:
    GrayDecoding(jpeg::JpegReader& reader, HelperThread& thread)
        : reader_(reader),
          blocks_(static_cast<size_t>(reader.OutputWidth()), kStageRowsPerBlock, kStageBlocks),
          dither_(reader.OutputWidth(), jpeg::kQuantizedColours),
          run_(thread) {}

    ~GrayDecoding() {
        if (running_) {
            blocks_.Stop();
            run_.Join();
        }
    }
    GrayDecoding(const GrayDecoding&) = delete;
    GrayDecoding& operator=(const GrayDecoding&) = delete;

    void Start() {
        running_ = run_.Start([this] { DecodeBlocks(); }, [this] { blocks_.Close(); });
        if (!running_) {
            plainRow_.resize(blocks_.RowBytes());
        }
    }

    void ReadInto(uint8_t* row) {
        if (!plainRow_.empty()) {
            reader_.ReadRow(plainRow_.data());
            dither_.RowToBgr(plainRow_.data(), row);
            return;
        }
        if (used_ == block_.count) {
            block_ = blocks_.Take();
            used_ = 0;
            if (block_.count == 0) {
                // The decoding ended before this row: its error is this row's.
                RaiseError();
                throw std::logic_error("gray rows read past the end");
            }
        }
        dither_.RowToBgr(block_.rows + static_cast<size_t>(used_) * blocks_.RowBytes(), row);
        ++used_;
    }

    // The helper finishes the decoding itself once the last row is handed over.
    void Finish() {
        if (plainRow_.empty()) {
            RaiseError();
        } else {
            reader_.Finish();
        }
    }

  private:
    void DecodeBlocks() {
        const int height = reader_.OutputHeight();
        for (int y = 0; y < height;) {
            uint8_t* block = blocks_.FreeBlock();
            if (!block) {
                return;  // the reader has stopped
            }
            const int count = std::min(kStageRowsPerBlock, height - y);
            for (int i = 0; i < count; ++i) {
                reader_.ReadRow(block + static_cast<size_t>(i) * blocks_.RowBytes());
            }
            blocks_.Hand(count);
            y += count;
        }
        reader_.Finish();
        blocks_.Close();
    }

    void RaiseError() {
        running_ = false;
        if (const std::exception_ptr error = run_.Join()) {
            std::rethrow_exception(error);
        }
    }

    jpeg::JpegReader& reader_;
    RowBlocks blocks_;
    GrayDither dither_;
    HelperRun run_;
    bool running_ = false;
    RowBlocks::Block block_;
    int used_ = 0;
    std::vector<uint8_t> plainRow_;  // without a helper: the row being dithered
};

DecodedRows::DecodedRows(const std::vector<uint8_t>& bytes, TJPEGDecodeDepth depth,
                         TMetadataKept kept, HelperThread* grayDecoding)
    : reader_(bytes.data(), bytes.size()) {
    Begin(depth, kept, grayDecoding);
}

DecodedRows::DecodedRows(ByteChannel& channel, TJPEGDecodeDepth depth, TMetadataKept kept)
    : reader_(channel) {
    Begin(depth, kept, nullptr);
}

DecodedRows::~DecodedRows() = default;

const uint8_t* DecodedRows::Next() {
    ReadInto(row_.data());
    return row_.data();
}

void DecodedRows::ReadInto(uint8_t* row) {
    if (gray_) {
        gray_->ReadInto(row);
    } else if (indexes_.empty()) {
        reader_.ReadRow(row);
    } else {
        reader_.ReadRow(indexes_.data());
        PaletteRowToBgr(indexes_.data(), Width(), palette_, row);
    }
}

void DecodedRows::Finish() {
    if (gray_) {
        gray_->Finish();
    } else {
        reader_.Finish();
    }
}

void DecodedRows::Begin(TJPEGDecodeDepth depth, TMetadataKept kept, HelperThread* grayDecoding) {
    reader_.ReadHeader(true, kept);
    metadata_ = reader_.Metadata();
    reader_.Start(depth, grayDecoding != nullptr);
    const size_t width = static_cast<size_t>(Width());
    row_.resize(width * 3);
    if (reader_.PlainGray()) {
        gray_ = std::make_unique<GrayDecoding>(reader_, *grayDecoding);
        gray_->Start();
        return;
    }
    if (reader_.OutputFormat() == TPixelFormat::pf8bit) {
        palette_ = reader_.Palette();
        indexes_.resize(width);
    }
}

}  // namespace velmora
