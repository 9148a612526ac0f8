// Area-averaging reduction of a picture fed one row at a time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace velmora {

// Every target pixel becomes the mean of the source area mapped onto it, per 8-bit channel,
// rounded to the nearest integer (halves up); at equal sizes pixels are copied. Rows are blue,
// green, red bytes. The source rows are consumed in order, top first; a source row ends at
// most one target row, so no source row is ever kept.
//
// The mean is exact: each axis is measured in units where every overlap between a source and
// a target pixel is a whole number (the sides divided by their greatest common divisor), the
// weighted sums are kept in integers, and the final division by the constant area goes through
// a precomputed reciprocal (no division per pixel).
class BoxShrink {
  public:
    // Both target sides from 1 up to the source side; EInvalidGraphicOperation otherwise.
    BoxShrink(int sourceWidth, int sourceHeight, int targetWidth, int targetHeight);

    // Takes the next source row. When it completes a target row, writes that row to target
    // and returns true.
    bool AddRow(const uint8_t* source, uint8_t* target);

    // Starts again at target row `targetRow` (below the target height), as if the rows above
    // it had been added: returns the first source row that covers it, the next one AddRow
    // takes. Shrinks started at different rows give the bytes of one from the top, so that
    // bands of target rows may be drawn apart.
    int Seek(int targetRow);

  private:
    // floor(n / d) for every n below 2^63 and every d from 2 up: the high half of one 64 × 64-bit
    // product, shifted.
    class Divider {
      public:
        Divider() = default;
        explicit Divider(uint64_t divisor);
        uint8_t operator()(uint64_t n) const {
            const auto high =
                static_cast<uint64_t>((static_cast<unsigned __int128>(n) * multiplier_) >> 64);
            return static_cast<uint8_t>(high >> shift_);
        }

      private:
        uint64_t multiplier_ = 0;
        int shift_ = 0;
    };

    void EmitRow(const uint32_t* sums, uint8_t* target) const;
    // A target row where every target column is exactly two source columns of weight 1 and
    // the area a power of two, as halving even sides gives: a shift in place of the divider,
    // over values in order, which the compiler widens to vectors.
    void EmitHalvedColumns(const uint32_t* sums, uint8_t* target) const;
    // kColumns: the number of weights per target column when fixed at compile time, else 0.
    template <uint32_t kColumns>
    void EmitColumns(const uint32_t* sums, uint8_t* target, uint32_t columns) const;

    int sourceWidth_;
    int targetWidth_;
    bool copy_;

    // Vertical: positions in units where a source row is rowWeight_ long and a target row
    // rowSpan_ long.
    uint32_t rowWeight_;
    uint64_t rowSpan_;
    uint64_t position_ = 0;          // where the part of the next source row still to add starts
    uint32_t skipped_ = 0;           // the part of the next source row that lies above position_
    uint64_t rowEnd_;                // where the current target row ends
    std::vector<uint32_t> current_;  // the weighted column sums of the current target row
    bool currentFresh_ = true;

    // Horizontal: for every target column, its first source column and the weights of the
    // columnsPerTarget_ source columns from there.
    uint32_t columnsPerTarget_;
    std::vector<uint32_t> first_;
    std::vector<uint32_t> weight_;
    size_t sourceValues_;  // values in a source row

    uint64_t half_;  // half the total weight of a target pixel, for rounding
    Divider divider_;
    int halvedShift_ = 0;  // log2 of the area when EmitHalvedColumns serves; 0 otherwise
};

}  // namespace velmora
