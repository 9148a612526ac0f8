// The whole percent a batch reports after each converted file.
#pragma once

#include <cstdint>

namespace velmora {

// done of selected as a whole percent: done ÷ selected in extended precision rounded to a
// double, divided in extended precision by the double nearest 0.01, rounded to nearest with
// ties to even. The double rounding decides the exact halves (1 of 8 gives 12, 1 of 40
// gives 3). More done than selected, or a selected count that is not positive, gives 100.
uint16_t ProgressPercent(int32_t done, int32_t selected);

}  // namespace velmora
