#include "convert_files.h"

#include <exception>
#include <optional>
#include <string>
#include <vector>

#include "cli/conversion_plan.h"
#include "cli/parallel_runner.h"
#include "core/compress_file.h"

namespace velmora::cli {

int ConvertFiles(const ConvertOptions& options, ConsoleReport& report) {
    const std::vector<PlannedFile> plan = PlanConversions(options.outputDirectory, options.files);
    // The reason each file failed; empty for a converted file.
    std::vector<std::optional<std::string>> failures(plan.size());
    bool anyFailed = false;

    const auto convert = [&](size_t i) {
        const PlannedFile& file = plan[i];
        if (!file.refusal.empty()) {
            failures[i] = file.refusal;
            return;
        }
        try {
            CompressFile(file.source, file.output, options.compressPercent, options.resizePercent);
        } catch (const std::exception& error) {
            failures[i] = error.what();
        }
    };
    const auto reportFile = [&](size_t i) {
        if (failures[i]) {
            report.Failure(plan[i].source, *failures[i]);
            anyFailed = true;
        }
        report.Progress(i + 1, plan[i].source);
    };
    RunInParallel(plan.size(), options.jobs, convert, reportFile);
    report.Finish();
    return anyFailed ? 1 : 0;
}

}  // namespace velmora::cli
