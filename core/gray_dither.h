// The decoder's quantization of one-component pictures, done outside the decoder: plain gray
// rows reduced to the decoder's gray levels with its Floyd–Steinberg dithering, bit for bit.
// libjpeg's quantizer runs inside its own row loop and takes most of a grayscale decoding's
// time; done here, it can run on another thread than the decoding. Whatever libjpeg would
// give is the reference (the tests hold the two together), so this follows its one-pass
// quantizer's arithmetic exactly: the levels, the index of every input value, the serpentine
// order of the rows and the 3, 5, 7 and 1 sixteenths of each error.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace velmora {

class GrayDither {
  public:
    // Rows of width pixels, to levels gray levels (2..256), the first row next.
    GrayDither(int width, int levels);

    // The gray value of every level, darkest first: the colour map libjpeg would give.
    const std::vector<uint8_t>& Levels() const { return levels_; }

    // The next row of plain gray values, dithered, as the blue, green and red bytes of its
    // levels.
    void RowToBgr(const uint8_t* gray, uint8_t* bgr);

  private:
    int width_;
    std::vector<uint8_t> levels_;
    std::array<uint8_t, 256> levelOf_{};  // the level index of every input value
    // The errors carried to the next row: one per column and one beyond either end, as 16ths.
    std::vector<int16_t> errors_;
    bool rightToLeft_ = false;
};

}  // namespace velmora
