#include "widgets/picture.h"

#include "core/jpeg_image.h"

namespace velmora {

void TPicture::SetGraphic(std::unique_ptr<TGraphic> graphic) {
    graphic_ = std::move(graphic);
    if (auto* jpeg = dynamic_cast<TJPEGImage*>(graphic_.get())) {
        // Reloading the held JPEG picture changes what is shown.
        jpeg->OnChange = [this] { Changed(); };
    }
    Changed();
}

TBitmap& TPicture::Bitmap() {
    auto* bitmap = dynamic_cast<TBitmap*>(graphic_.get());
    if (!bitmap) {
        SetGraphic(std::make_unique<TBitmap>());
        bitmap = static_cast<TBitmap*>(graphic_.get());
    }
    return *bitmap;
}

void TPicture::Assign(const TBitmap& bitmap) {
    auto copy = std::make_unique<TBitmap>();
    copy->CopyPicture(bitmap);
    SetGraphic(std::move(copy));
}

void TPicture::Changed() {
    if (OnChange) {
        OnChange();
    }
}

}  // namespace velmora
