#include "box_shrink.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <numeric>

#include "errors.h"

namespace velmora {

namespace {

// The widest a target row may be in source rows (in the reduced units) so that a column sum
// of 8-bit values still fits 32 bits.
constexpr uint64_t kMaxRowSpan = UINT32_MAX / 255;
// The largest area of a target pixel (in the reduced units) whose rounded sums stay below
// 2^63, the divider's bound.
constexpr uint64_t kMaxArea = (uint64_t{1} << 55) - 1;
// The largest area the halving shortcut takes: 2 × 255 × area / 2 + area / 2 < 2^32.
constexpr uint64_t kMaxHalvedArea = uint64_t{1} << 20;

// The processor's version is picked by a resolver that the dynamic loader runs before any
// sanitizer runtime is ready; under ThreadSanitizer its instrumented code crashes the program
// at start, so such builds keep the plain version.
#if defined(__SANITIZE_THREAD__)
#define VELMORA_AVX2_CLONES
#else
#define VELMORA_AVX2_CLONES __attribute__((target_clones("avx2", "default")))
#endif

// sums (+)= weight × source over n values. Built also for AVX2, which widens and multiplies
// eight values at a time; the processor picks the version when the program starts.
VELMORA_AVX2_CLONES void AddWeightedRow(const uint8_t* source, uint32_t weight, uint32_t* sums,
                                        size_t n, bool fresh) {
    if (fresh) {
        for (size_t i = 0; i < n; ++i) {
            sums[i] = weight * source[i];
        }
    } else {
        for (size_t i = 0; i < n; ++i) {
            sums[i] += weight * source[i];
        }
    }
}

}  // namespace

// Granlund and Montgomery's round-up method: with l = ceil(log2 d), k = 63 + l and
// m = floor(2^k / d) + 1 (below 2^64), n·m / 2^k exceeds n / d by less than n / 2^k ≤ 2^-l
// ≤ 1 / d for every n < 2^63, which is too little to reach the next integer.
BoxShrink::Divider::Divider(uint64_t divisor) {
    const int log2Ceiling = 64 - std::countl_zero(divisor - 1);
    shift_ = log2Ceiling - 1;
    multiplier_ = static_cast<uint64_t>(
        (static_cast<unsigned __int128>(1) << (63 + log2Ceiling)) / divisor + 1);
}

BoxShrink::BoxShrink(int sourceWidth, int sourceHeight, int targetWidth, int targetHeight)
    : sourceWidth_(sourceWidth),
      targetWidth_(targetWidth),
      copy_(sourceWidth == targetWidth && sourceHeight == targetHeight) {
    if (targetWidth < 1 || targetHeight < 1 || targetWidth > sourceWidth ||
        targetHeight > sourceHeight) {
        throw EInvalidGraphicOperation("Invalid shrink size");
    }
    const int columnUnit = std::gcd(sourceWidth, targetWidth);
    const int rowUnit = std::gcd(sourceHeight, targetHeight);
    const uint32_t columnWeight = static_cast<uint32_t>(targetWidth / columnUnit);
    const uint64_t columnSpan = static_cast<uint64_t>(sourceWidth / columnUnit);
    rowWeight_ = static_cast<uint32_t>(targetHeight / rowUnit);
    rowSpan_ = static_cast<uint64_t>(sourceHeight / rowUnit);
    const uint64_t area = columnSpan * rowSpan_;
    if (rowSpan_ > kMaxRowSpan || area > kMaxArea) {
        throw EInvalidGraphicOperation("Invalid shrink size");
    }
    rowEnd_ = rowSpan_;
    half_ = area / 2;
    if (!copy_) {
        divider_ = Divider(area);  // the area is at least 2 unless the sizes are equal
        // Small areas only, so that two column sums and the half stay within 32 bits.
        if (columnSpan == 2 && columnWeight == 1 && std::has_single_bit(area) &&
            area <= kMaxHalvedArea) {
            halvedShift_ = std::countr_zero(area);
        }
    }

    // Source column s covers [s·columnWeight, (s + 1)·columnWeight), target column t covers
    // [t·columnSpan, (t + 1)·columnSpan); a target column takes each overlap as a weight. Every
    // target column gets the same number of weights, the missing ones 0, so that the inner
    // loop has a fixed length.
    const size_t columns = static_cast<size_t>(targetWidth);
    columnsPerTarget_ = 1;
    for (size_t t = 0; t < columns; ++t) {
        const uint64_t first = t * columnSpan / columnWeight;
        const uint64_t last = ((t + 1) * columnSpan - 1) / columnWeight;
        columnsPerTarget_ = std::max(columnsPerTarget_, static_cast<uint32_t>(last - first + 1));
    }
    first_.resize(columns);
    weight_.assign(columns * columnsPerTarget_, 0);
    for (size_t t = 0; t < columns; ++t) {
        const uint64_t lo = t * columnSpan;
        const uint64_t hi = lo + columnSpan;
        const uint64_t first = lo / columnWeight;
        const uint64_t last = (hi - 1) / columnWeight;
        first_[t] = static_cast<uint32_t>(first);
        for (uint64_t s = first; s <= last; ++s) {
            const uint64_t from = std::max(lo, s * columnWeight);
            const uint64_t to = std::min(hi, (s + 1) * columnWeight);
            weight_[t * columnsPerTarget_ + (s - first)] = static_cast<uint32_t>(to - from);
        }
    }
    // Zero sums past the last source column for the padded weights to read.
    sourceValues_ = static_cast<size_t>(sourceWidth) * 3;
    current_.assign(sourceValues_ + size_t{columnsPerTarget_} * 3, 0);
}

bool BoxShrink::AddRow(const uint8_t* source, uint8_t* target) {
    if (copy_) {
        std::memcpy(target, source, static_cast<size_t>(sourceWidth_) * 3);
        return true;
    }
    const uint32_t weight = rowWeight_ - skipped_;
    skipped_ = 0;
    const uint64_t end = position_ + weight;
    position_ = end;
    if (end < rowEnd_) {
        AddWeightedRow(source, weight, current_.data(), sourceValues_, currentFresh_);
        currentFresh_ = false;
        return false;
    }
    // The row reaches the end of the target row; what lies beyond starts the next one.
    const uint32_t inside = static_cast<uint32_t>(weight - (end - rowEnd_));
    AddWeightedRow(source, inside, current_.data(), sourceValues_, currentFresh_);
    EmitRow(current_.data(), target);
    const uint32_t beyond = weight - inside;
    if (beyond > 0) {
        AddWeightedRow(source, beyond, current_.data(), sourceValues_, true);
    }
    currentFresh_ = beyond == 0;
    rowEnd_ += rowSpan_;
    return true;
}

int BoxShrink::Seek(int targetRow) {
    if (copy_) {
        return targetRow;
    }
    // Target row t covers [t·rowSpan_, (t + 1)·rowSpan_), source row s [s·rowWeight_, ...).
    const uint64_t start = static_cast<uint64_t>(targetRow) * rowSpan_;
    const uint64_t first = start / rowWeight_;
    position_ = start;
    skipped_ = static_cast<uint32_t>(start - first * rowWeight_);
    rowEnd_ = start + rowSpan_;
    currentFresh_ = true;
    return static_cast<int>(first);
}

template <uint32_t kColumns>
void BoxShrink::EmitColumns(const uint32_t* sums, uint8_t* target, uint32_t columns) const {
    if constexpr (kColumns != 0) {
        columns = kColumns;
    }
    const uint32_t* weight = weight_.data();
    for (int t = 0; t < targetWidth_; ++t, target += 3, weight += columns) {
        const uint32_t* column = sums + size_t{first_[t]} * 3;
        uint64_t blue = half_, green = half_, red = half_;
        for (uint32_t k = 0; k < columns; ++k, column += 3) {
            blue += uint64_t{weight[k]} * column[0];
            green += uint64_t{weight[k]} * column[1];
            red += uint64_t{weight[k]} * column[2];
        }
        target[0] = divider_(blue);
        target[1] = divider_(green);
        target[2] = divider_(red);
    }
}

void BoxShrink::EmitHalvedColumns(const uint32_t* sums, uint8_t* target) const {
    const uint32_t half = static_cast<uint32_t>(half_);
    for (int t = 0; t < targetWidth_; ++t, target += 3, sums += 6) {
        for (int c = 0; c < 3; ++c) {
            target[c] = static_cast<uint8_t>((half + sums[c] + sums[c + 3]) >> halvedShift_);
        }
    }
}

void BoxShrink::EmitRow(const uint32_t* sums, uint8_t* target) const {
    if (halvedShift_ != 0) {
        return EmitHalvedColumns(sums, target);
    }
    switch (columnsPerTarget_) {
        case 1:
            return EmitColumns<1>(sums, target, 1);
        case 2:
            return EmitColumns<2>(sums, target, 2);
        case 3:
            return EmitColumns<3>(sums, target, 3);
        case 4:
            return EmitColumns<4>(sums, target, 4);
        default:
            return EmitColumns<0>(sums, target, columnsPerTarget_);
    }
}

}  // namespace velmora
