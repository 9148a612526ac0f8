#include "file_result.h"

namespace velmora::cli {

void RunTotals::Add(const FileResult& result) {
    switch (result.outcome) {
        case FileOutcome::kConverted:
            ++converted;
            bytesIn += result.sourceBytes;
            bytesOut += result.outputBytes;
            return;
        case FileOutcome::kKept:
            ++kept;
            return;
        case FileOutcome::kSkipped:
            ++skipped;
            return;
        case FileOutcome::kFailed:
            ++failed;
            return;
    }
}

}  // namespace velmora::cli
