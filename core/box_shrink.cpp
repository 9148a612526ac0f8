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

}  // namespace

// Granlund and Montgomery's round-up method: with l = ceil(log2 d), k = N + l and
// m = floor(2^k / d) + 1, n·m / 2^k exceeds n / d by less than 1 / d for every n < 2^N, which
// is too little to reach the next integer.
BoxShrink::Divider::Divider(uint64_t divisor) {
    const int log2Ceiling = divisor <= 1 ? 0 : 64 - std::countl_zero(divisor - 1);
    shift_ = kNumeratorBits + log2Ceiling;
    multiplier_ =
        static_cast<uint64_t>((static_cast<unsigned __int128>(1) << shift_) / divisor + 1);
}

BoxShrink::BoxShrink(int sourceWidth, int sourceHeight, int targetWidth, int targetHeight)
    : sourceWidth_(sourceWidth),
      targetWidth_(targetWidth),
      copy_(sourceWidth == targetWidth && sourceHeight == targetHeight),
      divider_(1) {
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
    if (rowSpan_ > kMaxRowSpan || area >= (uint64_t{1} << (Divider::kNumeratorBits - 8))) {
        throw EInvalidGraphicOperation("Invalid shrink size");
    }
    rowEnd_ = rowSpan_;
    half_ = area / 2;
    divider_ = Divider(area);

    // Source column s covers [s·columnWeight, (s + 1)·columnWeight), target column t covers
    // [t·columnSpan, (t + 1)·columnSpan); a target column takes each overlap as a weight.
    const size_t columns = static_cast<size_t>(targetWidth);
    first_.resize(columns);
    count_.resize(columns);
    offset_.resize(columns);
    for (size_t t = 0; t < columns; ++t) {
        const uint64_t lo = t * columnSpan;
        const uint64_t hi = lo + columnSpan;
        const uint64_t first = lo / columnWeight;
        const uint64_t last = (hi - 1) / columnWeight;
        first_[t] = static_cast<uint32_t>(first);
        count_[t] = static_cast<uint32_t>(last - first + 1);
        offset_[t] = static_cast<uint32_t>(weight_.size());
        for (uint64_t s = first; s <= last; ++s) {
            const uint64_t from = std::max(lo, s * columnWeight);
            const uint64_t to = std::min(hi, (s + 1) * columnWeight);
            weight_.push_back(static_cast<uint32_t>(to - from));
        }
    }
    current_.resize(static_cast<size_t>(sourceWidth) * 3);
}

bool BoxShrink::AddRow(const uint8_t* source, uint8_t* target) {
    if (copy_) {
        std::memcpy(target, source, static_cast<size_t>(sourceWidth_) * 3);
        return true;
    }
    const uint64_t end = position_ + rowWeight_;
    position_ = end;
    if (end < rowEnd_) {
        Accumulate(source, rowWeight_, current_, currentFresh_);
        currentFresh_ = false;
        return false;
    }
    // The row reaches the end of the target row; what lies beyond starts the next one.
    const uint32_t inside = static_cast<uint32_t>(rowWeight_ - (end - rowEnd_));
    Accumulate(source, inside, current_, currentFresh_);
    EmitRow(current_.data(), target);
    const uint32_t beyond = rowWeight_ - inside;
    if (beyond > 0) {
        Accumulate(source, beyond, current_, true);
    }
    currentFresh_ = beyond == 0;
    rowEnd_ += rowSpan_;
    return true;
}

void BoxShrink::Accumulate(const uint8_t* source, uint32_t weight, std::vector<uint32_t>& sums,
                           bool fresh) const {
    uint32_t* sum = sums.data();
    const size_t n = sums.size();
    if (fresh) {
        for (size_t i = 0; i < n; ++i) {
            sum[i] = weight * source[i];
        }
    } else {
        for (size_t i = 0; i < n; ++i) {
            sum[i] += weight * source[i];
        }
    }
}

void BoxShrink::EmitRow(const uint32_t* sums, uint8_t* target) const {
    for (int t = 0; t < targetWidth_; ++t, target += 3) {
        const uint32_t* column = sums + size_t{first_[t]} * 3;
        const uint32_t* weight = weight_.data() + offset_[t];
        uint64_t blue = half_, green = half_, red = half_;
        for (uint32_t k = 0; k < count_[t]; ++k, column += 3) {
            blue += uint64_t{weight[k]} * column[0];
            green += uint64_t{weight[k]} * column[1];
            red += uint64_t{weight[k]} * column[2];
        }
        target[0] = divider_(blue);
        target[1] = divider_(green);
        target[2] = divider_(red);
    }
}

}  // namespace velmora
