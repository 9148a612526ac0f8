// velmora-convert's work: every planned file converted, reported in order.
#pragma once

#include <vector>

#include "cli/console_report.h"
#include "cli/conversion_plan.h"
#include "cli/options.h"

namespace velmora::cli {

// Converts the files on options.jobs threads, reporting each result (and the progress) in
// the order of the files, then the summary. Returns the exit status: 0 when no file failed,
// else 1.
int ConvertFiles(const std::vector<PlannedFile>& plan, const ConvertOptions& options,
                 ConsoleReport& report);

}  // namespace velmora::cli
