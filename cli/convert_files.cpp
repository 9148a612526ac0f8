#include "convert_files.h"

#include <chrono>

#include "cli/file_conversion.h"
#include "cli/parallel_runner.h"

namespace velmora::cli {

int ConvertFiles(const std::vector<PlannedFile>& plan, const ConvertOptions& options,
                 ConsoleReport& report) {
    const auto start = std::chrono::steady_clock::now();
    std::vector<FileResult> results(plan.size());
    RunTotals totals;

    const auto convert = [&](size_t i) {
        report.Started(i, plan[i].source);
        results[i] = ConvertPlannedFile(plan[i], options);
    };
    const auto reportFile = [&](size_t i) {
        report.Finished(plan[i].source, results[i]);
        totals.Add(results[i]);
        // Reported results are not needed any more.
        results[i] = FileResult();
    };
    RunInParallel(plan.size(), options.jobs, convert, reportFile);
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    report.Finish(totals, elapsed.count());
    return totals.failed > 0 ? 1 : 0;
}

}  // namespace velmora::cli
