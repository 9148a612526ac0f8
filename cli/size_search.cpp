#include "size_search.h"

#include <algorithm>
#include <string>

#include "core/compress_file.h"
#include "core/errors.h"

namespace velmora::cli {

namespace {

constexpr int kHighestUsefulPercent = 99;

}  // namespace

FittedConversion ConvertToFit(const std::vector<uint8_t>& source, uint64_t maxBytes,
                              int lowestPercent, ResizePercent resize, TMetadataKept kept) {
    // Sizes fall as the percent rises (closely enough for a search): every percent up to
    // tooBig is known not to fit, and `fits` is the lowest one known to fit.
    int tooBig = std::min(lowestPercent, kHighestUsefulPercent) - 1;
    int fits = kHighestUsefulPercent + 1;
    FittedConversion best;
    uint64_t smallestSize = 0;
    while (fits - tooBig > 1) {
        const int percent = tooBig + (fits - tooBig) / 2;
        std::vector<uint8_t> bytes =
            CompressBytes(source, {CompressPercent(percent), resize}, kept);
        if (bytes.size() <= maxBytes) {
            fits = percent;
            best = {percent, std::move(bytes)};
        } else {
            tooBig = percent;
            smallestSize = bytes.size();
        }
    }
    if (fits > kHighestUsefulPercent) {
        throw Exception("does not fit in " + std::to_string(maxBytes / 1024) +
                        " KB even at quality 1 (" + std::to_string(smallestSize) + " bytes)");
    }
    return best;
}

}  // namespace velmora::cli
