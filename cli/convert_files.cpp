#include "convert_files.h"

#include <chrono>
#include <filesystem>
#include <system_error>

#include "cli/file_conversion.h"
#include "cli/parallel_runner.h"
#include "core/conversion_budget.h"
#include "core/file_io.h"

namespace velmora::cli {

namespace {

// Whether the file's source may be what the file before it writes: the same path, or the same
// file where that output is already there. Such a file begins only once the one before it is
// done, so that it reads the new output as it would have one file at a time.
bool ReadsOutputOf(const PlannedFile& file, const PlannedFile& before) {
    if (file.fromStandardInput || before.toStandardOutput || before.output.empty()) {
        return false;
    }
    std::error_code sourceError;
    std::error_code outputError;
    const auto sourcePath =
        std::filesystem::weakly_canonical(FollowSymbolicLinks(file.source), sourceError);
    const auto outputPath = std::filesystem::weakly_canonical(before.output, outputError);
    return sourceError || outputError || sourcePath == outputPath ||
           SameFile(file.source, before.output);
}

}  // namespace

int ConvertFiles(const std::vector<PlannedFile>& plan, const ConvertOptions& options,
                 ConsoleReport& report) {
    const auto start = std::chrono::steady_clock::now();
    std::vector<FileResult> results(plan.size());
    RunTotals totals;

    const auto convert = [&](size_t i, WorkTurn& turn) {
        report.Started(i, plan[i].source);
        const FileTurn fileTurn{
            // Asked only when a core is freed: most conversions never free one.
            .coreFreed =
                [&turn, &plan, i] {
                    if (i + 1 < plan.size() && !ReadsOutputOf(plan[i + 1], plan[i])) {
                        turn.LetNextBegin();
                    }
                },
            .awaitEarlier = [&turn] { turn.AwaitEarlier(); },
            .threads = turn.BesideEarlier() ? TStageThreads::kTwo : TStageThreads::kAsCoresAllow,
        };
        results[i] = ConvertPlannedFile(plan[i], options, fileTurn);
    };
    const auto reportFile = [&](size_t i) {
        report.Finished(plan[i].source, results[i]);
        totals.Add(results[i]);
        // Reported results are not needed any more.
        results[i] = FileResult();
    };
    // Two files in flight, even briefly, only where the memory holds two of the largest.
    const bool mayBeginEarly = ConversionsThatFitInMemory() > 1;
    RunInParallel(plan.size(), options.jobs, convert, reportFile, mayBeginEarly);
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    report.Finish(totals, elapsed.count());
    return totals.failed > 0 ? 1 : 0;
}

}  // namespace velmora::cli
