// What became of one file, and the tally of a run.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace velmora::cli {

enum class FileOutcome {
    kConverted,
    // --only-smaller: the output would not have been smaller, so it was not written.
    kKept,
    // --no-clobber: the output file exists.
    kSkipped,
    kFailed,
};

struct FileResult {
    FileOutcome outcome = FileOutcome::kFailed;
    uint64_t sourceBytes = 0;
    uint64_t outputBytes = 0;
    // The compression percent used (chosen by --max-size).
    int compressPercent = 0;
    // kFailed: why; kSkipped: what was in the way.
    std::string message{};
};

struct RunTotals {
    size_t converted = 0;
    size_t failed = 0;
    size_t skipped = 0;
    size_t kept = 0;
    // Over the converted files.
    uint64_t bytesIn = 0;
    uint64_t bytesOut = 0;

    void Add(const FileResult& result);
};

}  // namespace velmora::cli
