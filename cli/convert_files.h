// velmora-convert's work: every FILE converted into the output directory.
#pragma once

#include "cli/console_report.h"
#include "cli/options.h"

namespace velmora::cli {

// Converts the files on options.jobs threads, reporting each failure (and the progress) in
// the order of the files. Returns the exit status: 0 when every file was converted, else 1.
int ConvertFiles(const ConvertOptions& options, ConsoleReport& report);

}  // namespace velmora::cli
