#include "conversion_plan.h"

#include <unordered_map>

#include "cli/name_quoting.h"
#include "core/file_io.h"

namespace velmora::cli {

namespace {

std::string JoinUnder(const std::string& directory, const std::string& name) {
    const bool endsInSlash = !directory.empty() && directory.back() == '/';
    return directory + (endsInSlash ? "" : "/") + name;
}

}  // namespace

std::string OutputPathFor(const std::string& outputDirectory, const std::string& source) {
    return JoinUnder(outputDirectory, FileNameOf(source));
}

void PlanConversions(const std::string& outputDirectory, std::vector<PlannedFile>& files) {
    const bool toStandardOutput = outputDirectory == "-";
    std::unordered_map<std::string, const PlannedFile*> firstFileFor;
    for (PlannedFile& file : files) {
        if (!file.refusal.empty()) {
            continue;
        }
        const std::string name = FileNameOf(file.outputName);
        if (name.empty() || name == "." || name == "..") {
            file.refusal = "not converted, no file name";
            continue;
        }
        if (toStandardOutput) {
            file.toStandardOutput = true;
            continue;
        }
        file.output = JoinUnder(outputDirectory, file.outputName);
        if (const auto [it, first] = firstFileFor.emplace(file.output, &file); !first) {
            file.refusal = "not converted, same output file as " + DisplayName(*it->second);
        }
    }
}

std::string DisplayName(const PlannedFile& file) {
    return QuotedName(file.source);
}

}  // namespace velmora::cli
