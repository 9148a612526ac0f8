#include "compress_file.h"

#include <new>

#include "bitmap.h"
#include "box_shrink.h"
#include "conversion_budget.h"
#include "errors.h"
#include "file_io.h"
#include "jpeg_file.h"
#include "jpeg_image.h"
#include "jpeg_reader.h"
#include "jpeg_writer.h"
#include "resize.h"

namespace velmora {

namespace {

constexpr int kResizedQuality = 90;

// Whether the source has multiple scans, read the way loading a picture reads it (a header
// that this reading refuses fails here, with the same code as loading would).
bool HasMultipleScans(const std::vector<uint8_t>& bytes) {
    jpeg::JpegReader reader(bytes.data(), bytes.size());
    reader.ReadHeader(false);
    return reader.Progressive();
}

// The rows of one decoding with the picture profile, as blue, green, red bytes (palette rows
// through their colours). One row buffer for the whole picture.
class DecodedRows {
  public:
    DecodedRows(const std::vector<uint8_t>& bytes, TJPEGDecodeDepth depth, TMetadataKept kept)
        : reader_(bytes.data(), bytes.size()) {
        reader_.ReadHeader(true, kept);
        metadata_ = reader_.Metadata();
        reader_.Start(depth);
        const size_t width = static_cast<size_t>(Width());
        row_.resize(width * 3);
        if (reader_.OutputFormat() == TPixelFormat::pf8bit) {
            palette_ = reader_.Palette();
            indexes_.resize(width);
        }
    }

    int Width() const { return reader_.OutputWidth(); }
    int Height() const { return reader_.OutputHeight(); }
    const TPictureMetadata& Metadata() const { return metadata_; }

    const uint8_t* Next() {
        if (indexes_.empty()) {
            reader_.ReadRow(row_.data());
        } else {
            reader_.ReadRow(indexes_.data());
            PaletteRowToBgr(indexes_.data(), Width(), palette_, row_.data());
        }
        return row_.data();
    }
    void Finish() { reader_.Finish(); }

  private:
    jpeg::JpegReader reader_;
    TPictureMetadata metadata_;
    std::vector<TPaletteEntry> palette_;
    std::vector<uint8_t> indexes_;
    std::vector<uint8_t> row_;
};

std::vector<uint8_t> Encode(DecodedRows& rows, int quality, bool progressive) {
    std::vector<uint8_t> output;
    jpeg::JpegWriter writer(output, rows.Width(), rows.Height(), quality, progressive,
                            rows.Metadata());
    for (int y = 0; y < rows.Height(); ++y) {
        writer.WriteRow(rows.Next());
    }
    rows.Finish();
    writer.Finish();
    return output;
}

std::vector<uint8_t> ShrinkAndEncode(DecodedRows& rows, int width, int height) {
    BoxShrink shrink(rows.Width(), rows.Height(), width, height);
    std::vector<uint8_t> row(static_cast<size_t>(width) * 3);
    std::vector<uint8_t> output;
    jpeg::JpegWriter writer(output, width, height, kResizedQuality, false, rows.Metadata());
    for (int y = 0; y < rows.Height(); ++y) {
        if (shrink.AddRow(rows.Next(), row.data())) {
            writer.WriteRow(row.data());
        }
    }
    rows.Finish();
    writer.Finish();
    return output;
}

}  // namespace

std::vector<uint8_t> CompressBytes(std::vector<uint8_t> source, ConversionPercents percents,
                                   TMetadataKept kept) {
    percents.Check();
    const int resizePercent = percents.Resize();
    const TJPEGDecodeDepth depth = TJPEGImage::DefaultDecodeDepth();
    const int quality = percents.Quality();
    const bool progressive = HasMultipleScans(source);
    CheckConversionBudget(source, resizePercent, depth);

    std::vector<uint8_t> compressed;
    int width = 0;
    int height = 0;
    {
        DecodedRows rows(source, depth, kept);
        width = PercentSize(rows.Width(), resizePercent);
        height = PercentSize(rows.Height(), resizePercent);
        if (resizePercent < 100 && (width == 0 || height == 0)) {
            // Nothing will be drawn, but a source that fails to decode still fails.
            for (int y = 0; y < rows.Height(); ++y) {
                rows.Next();
            }
            rows.Finish();
            return {};
        }
        compressed = Encode(rows, quality, progressive);
    }
    if (resizePercent == 100) {
        return compressed;
    }
    std::vector<uint8_t>().swap(source);
    // The first encoding carries the kept metadata, so the final one takes it from there.
    DecodedRows rows(compressed, depth, kept);
    return ShrinkAndEncode(rows, width, height);
}

void CompressFile(const std::string& source, const std::string& output, ConversionPercents percents,
                  TNonRegular nonRegular) {
    percents.Check();
    std::vector<uint8_t> bytes;
    try {
        bytes = CompressBytes(jpeg::ReadJpegFile(source, nonRegular), percents);
    } catch (const std::bad_alloc&) {
        throw EOutOfMemory();
    }
    WriteConversion(source, output, bytes);
}

void WriteConversion(const std::string& source, const std::string& output,
                     const std::vector<uint8_t>& bytes) {
    // A side shrunk to nothing gives an empty file, which must never take the place of the
    // photograph it came from.
    if (bytes.empty() && SameFile(source, output)) {
        throw EFCreateError(output, "The output would be empty and replace its own source");
    }
    WriteFileReplacing(output, bytes.data(), bytes.size());
}

}  // namespace velmora
