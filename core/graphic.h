// The abstract picture that both bitmaps and JPEG pictures are.
#pragma once

namespace velmora {

class TBitmap;

class TGraphic {
  public:
    virtual ~TGraphic() = default;

    virtual int Width() const = 0;
    virtual int Height() const = 0;
    virtual bool Empty() const = 0;
    virtual void SetWidth(int width) = 0;
    virtual void SetHeight(int height) = 0;

    // The pixels to draw; a JPEG picture decodes them on first request (which may raise
    // its decoding error once; later requests return what was decoded).
    virtual const TBitmap& DrawPixels() = 0;

  protected:
    TGraphic() = default;
    TGraphic(const TGraphic&) = default;
    TGraphic& operator=(const TGraphic&) = default;
};

}  // namespace velmora
