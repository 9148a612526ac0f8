#include "jpeg_image.h"

#include <atomic>

#include "errors.h"
#include "file_io.h"
#include "jpeg_file.h"
#include "jpeg_reader.h"
#include "jpeg_writer.h"
#include "stream.h"

namespace velmora {

namespace {

constexpr uint8_t kDefaultQuality = 90;

// Written once at program start, before any worker thread exists; atomic so that a late
// writer can never race a reader.
std::atomic<TJPEGDecodeDepth> defaultDecodeDepth{TJPEGDecodeDepth::jd24bit};

// Never destroyed: a batch worker may still be converting while the program exits and the
// statics are torn down.
const std::shared_ptr<const TJPEGData>& EmptyData() {
    static const auto* const empty =
        new std::shared_ptr<const TJPEGData>(std::make_shared<const TJPEGData>());
    return *empty;
}

}  // namespace

void TJPEGImage::SetDefaultDecodeDepth(TJPEGDecodeDepth depth) {
    defaultDecodeDepth = depth;
}

TJPEGDecodeDepth TJPEGImage::DefaultDecodeDepth() {
    return defaultDecodeDepth;
}

TJPEGImage::TJPEGImage()
    : data_(EmptyData()),
      quality_(kDefaultQuality),
      progressive_(false),
      decodeDepth_(defaultDecodeDepth) {}

int TJPEGImage::Width() const {
    return pixels_ ? pixels_->Width() : data_->width;
}

int TJPEGImage::Height() const {
    return pixels_ ? pixels_->Height() : data_->height;
}

bool TJPEGImage::Empty() const {
    // Held pixels decide, also when their decoding failed before the first row: such a picture
    // has no area to show, whatever its header said.
    return pixels_ ? pixels_->Empty() : data_->bytes.empty();
}

void TJPEGImage::SetWidth(int) {
    throw EInvalidGraphicOperation("Cannot change the size of a JPEG image");
}

void TJPEGImage::SetHeight(int) {
    throw EInvalidGraphicOperation("Cannot change the size of a JPEG image");
}

void TJPEGImage::LoadPictureFile(const std::string& path) {
    LoadPictureBytes(jpeg::ReadJpegFile(path));
}

void TJPEGImage::LoadPictureStream(TStream& stream) {
    LoadPictureBytes(stream.ReadToEnd());
}

void TJPEGImage::LoadPictureBytes(std::vector<uint8_t> bytes) {
    auto data = std::make_shared<TJPEGData>();
    data->bytes = std::move(bytes);
    data_ = data;
    pixels_.reset();
    if (!data->bytes.empty()) {
        jpeg::JpegReader reader(data->bytes.data(), data->bytes.size());
        reader.ReadHeader(false);
        data->width = reader.ImageWidth();
        data->height = reader.ImageHeight();
        data->grayscale = reader.Grayscale();
        progressive_ = reader.Progressive();
    }
    if (OnChange) {
        OnChange();
    }
}

void TJPEGImage::SavePictureFile(const std::string& path) {
    if (data_->bytes.empty()) {
        Encode();
    }
    WriteFileReplacing(path, data_->bytes.data(), data_->bytes.size());
}

void TJPEGImage::SavePictureStream(TStream& stream) {
    if (data_->bytes.empty()) {
        Encode();
    }
    stream.WriteBuffer(data_->bytes.data(), data_->bytes.size());
}

void TJPEGImage::CopyPicture(const TBitmap& source) {
    auto pixels = std::make_unique<TBitmap>();
    pixels->CopyPicture(source);
    pixels_ = std::move(pixels);
    data_ = EmptyData();
}

void TJPEGImage::Encode() {
    data_ = EmptyData();
    if (!pixels_ || pixels_->Empty()) {
        return;
    }
    auto data = std::make_shared<TJPEGData>();
    data->width = pixels_->Width();
    data->height = pixels_->Height();
    data->bytes = jpeg::EncodeBitmap(*pixels_, quality_, progressive_);
    data_ = std::move(data);
}

const TBitmap& TJPEGImage::Pixels() {
    if (!pixels_) {
        // Attached before decoding, so that a failure leaves the rows it got.
        pixels_ = std::make_unique<TBitmap>();
        jpeg::DecodeInto(data_->bytes.data(), data_->bytes.size(), decodeDepth_, *pixels_);
    }
    return *pixels_;
}

}  // namespace velmora
