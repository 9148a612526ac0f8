// Which output file each FILE of the command line goes to, and which FILEs are refused.
#pragma once

#include <string>
#include <vector>

namespace velmora::cli {

struct PlannedFile {
    std::string source;
    std::string output;
    // Not empty: the file is not converted and this is why.
    std::string refusal;
};

// DIR + "/" + the file's name, with no second "/" when DIR ends in one.
std::string OutputPathFor(const std::string& outputDirectory, const std::string& source);

// A file whose name is empty, "." or ".." is refused, and so is a file whose output path
// repeats an earlier file's: converting it would overwrite that file's output, and the
// result would depend on which conversion finished last.
std::vector<PlannedFile> PlanConversions(const std::string& outputDirectory,
                                         const std::vector<std::string>& sources);

}  // namespace velmora::cli
