// The two numbers that steer a conversion, carried together so that a compression percent and
// a resize percent cannot change places on the way.
#pragma once

namespace velmora {

// How much quality to give up: the encoder's quality is 100 − this.
struct CompressPercent {
    explicit constexpr CompressPercent(int percent) : value(percent) {}
    int value;
};

// Each side of the output as a percent of the source's.
struct ResizePercent {
    explicit constexpr ResizePercent(int percent) : value(percent) {}
    int value;
};

class ConversionPercents {
  public:
    constexpr ConversionPercents(CompressPercent compress, ResizePercent resize)
        : compress_(compress.value), resize_(resize.value) {}

    constexpr int Compress() const { return compress_; }
    constexpr int Resize() const { return resize_; }
    // 100 − c; c = 100 gives quality 0, which libjpeg treats as 1.
    constexpr int Quality() const { return 100 - compress_; }
    constexpr bool Resizes() const { return resize_ != 100; }
    // Both within 0..100.
    constexpr bool Valid() const {
        return compress_ >= 0 && compress_ <= 100 && resize_ >= 0 && resize_ <= 100;
    }
    // Raises Exception "Percent out of range" unless Valid().
    void Check() const;

  private:
    int compress_;
    int resize_;
};

}  // namespace velmora
