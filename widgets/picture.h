// TPicture: the one picture a picture view shows, of either kind (bitmap or JPEG), with a
// change notification the view listens to.
#pragma once

#include <functional>
#include <memory>

#include "core/bitmap.h"
#include "core/graphic.h"

namespace velmora {

class TPicture {
  public:
    TPicture() = default;
    TPicture(const TPicture&) = delete;
    TPicture& operator=(const TPicture&) = delete;

    // The held picture, or nullptr when none was ever given.
    TGraphic* Graphic() const { return graphic_.get(); }
    // Takes the picture over, in the kind it is (a JPEG picture stays one and decodes when
    // first drawn).
    void SetGraphic(std::unique_ptr<TGraphic> graphic);

    // The picture as a bitmap. A picture of another kind, or none, is first replaced by an
    // empty bitmap. After writing into the bitmap in place, call Changed().
    TBitmap& Bitmap();
    // Becomes a copy of the bitmap (storage shared until either side is written).
    void Assign(const TBitmap& bitmap);

    int Width() const { return graphic_ ? graphic_->Width() : 0; }
    int Height() const { return graphic_ ? graphic_->Height() : 0; }
    // No picture, or one without pixels.
    bool Empty() const { return !graphic_ || graphic_->Empty(); }

    // Tells the view that the picture changed (size or pixels).
    void Changed();

    // The owner's change listener.
    std::function<void()> OnChange;

  private:
    std::unique_ptr<TGraphic> graphic_;
};

}  // namespace velmora
