// Which output file each source goes to, and which sources are refused.
#pragma once

#include <string>
#include <vector>

namespace velmora::cli {

struct PlannedFile {
    // The path as given or found; "-" with fromStandardInput.
    std::string source{};
    bool fromStandardInput = false;
    // The output's path under the output directory: the file name, or with -R the path
    // relative to the walked folder or the listed path.
    std::string outputName{};
    // The output path; empty with toStandardOutput.
    std::string output{};
    bool toStandardOutput = false;
    // Not empty: the file is not converted and this is why.
    std::string refusal{};
};

// DIR + "/" + the file's name, with no second "/" when DIR ends in one.
std::string OutputPathFor(const std::string& outputDirectory, const std::string& source);

// Fills in each file's output path (outputDirectory "-": standard output). A file whose output
// name is empty, "." or ".." is refused, and so is a file whose output path repeats an earlier
// file's: converting it would overwrite that file's output, and the result would depend on
// which conversion finished last.
void PlanConversions(const std::string& outputDirectory, std::vector<PlannedFile>& files);

// The name shown for a source in messages, made safe for a terminal.
std::string DisplayName(const PlannedFile& file);

}  // namespace velmora::cli
