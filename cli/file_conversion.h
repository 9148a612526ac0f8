// One planned file converted with everything the options ask for.
#pragma once

#include "cli/conversion_plan.h"
#include "cli/file_result.h"
#include "cli/options.h"

namespace velmora::cli {

// Reads the source (standard input to its end), converts it in memory (searching the
// quality for --max-size), then writes the output unless --dry-run, --no-clobber or
// --only-smaller say otherwise. Never throws: every failure, running out of memory included,
// comes back as a kFailed result with its message.
FileResult ConvertPlannedFile(const PlannedFile& file, const ConvertOptions& options);

}  // namespace velmora::cli
