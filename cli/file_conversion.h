// One planned file converted with everything the options ask for.
#pragma once

#include <functional>

#include "cli/conversion_plan.h"
#include "cli/file_result.h"
#include "cli/options.h"
#include "core/helper_run.h"

namespace velmora::cli {

// How one file's conversion fits among the others of a run; the defaults: alone.
struct FileTurn {
    // Told when the rest of the conversion keeps only one core busy (TConversionStages).
    std::function<void()> coreFreed{};
    // Called before anything is written, to wait for the earlier files' writes.
    std::function<void()> awaitEarlier{};
    TStageThreads threads = TStageThreads::kAsCoresAllow;
};

// Reads the source (standard input to its end), converts it in memory (searching the
// quality for --max-size), then writes the output unless --dry-run, --no-clobber or
// --only-smaller say otherwise. Never throws: every failure, running out of memory included,
// comes back as a kFailed result with its message.
FileResult ConvertPlannedFile(const PlannedFile& file, const ConvertOptions& options,
                              const FileTurn& turn = {});

}  // namespace velmora::cli
