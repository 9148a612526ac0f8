#include "conversion_plan.h"

#include <unordered_map>

#include "core/file_io.h"

namespace velmora::cli {

std::string OutputPathFor(const std::string& outputDirectory, const std::string& source) {
    const bool endsInSlash = !outputDirectory.empty() && outputDirectory.back() == '/';
    return outputDirectory + (endsInSlash ? "" : "/") + FileNameOf(source);
}

std::vector<PlannedFile> PlanConversions(const std::string& outputDirectory,
                                         const std::vector<std::string>& sources) {
    std::vector<PlannedFile> plan;
    plan.reserve(sources.size());
    std::unordered_map<std::string, const std::string*> firstSourceOf;
    for (const std::string& source : sources) {
        PlannedFile file{source, OutputPathFor(outputDirectory, source), {}};
        const std::string name = FileNameOf(source);
        if (name.empty() || name == "." || name == "..") {
            file.refusal = "not converted, no file name";
        } else if (const auto [it, first] = firstSourceOf.emplace(file.output, &source); !first) {
            file.refusal = "not converted, same output file as " + *it->second;
        }
        plan.push_back(std::move(file));
    }
    return plan;
}

}  // namespace velmora::cli
