// The sources of a run: the FILE arguments and the names read from --files-from lists, with
// folders walked under -R.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "cli/conversion_plan.h"
#include "cli/folder_walk.h"

namespace velmora::cli {

struct SourceRules {
    bool recursive = false;
    // The output directory, left out of every walk.
    std::optional<FolderIdentity> outputFolder{};
};

// FILE arguments, in order: "-" is standard input (output name "stdin.jpg"); a folder is walked
// under -R (each file keeping its path relative to that folder) and refused without it; any
// other FILE keeps its file name.
void AddFileArguments(const std::vector<std::string>& arguments, const SourceRules& rules,
                      std::vector<PlannedFile>& files);

// Names read from a list, in order. They are names of files, never "-" for standard input.
// Without -R they are taken like FILE arguments. With -R each keeps its whole path as its
// output path (a listed folder its path joined with the paths found under it): a leading "/"
// and "." steps are dropped, and a path with a ".." step, which would lead out of the output
// directory, is refused.
void AddListedNames(const std::vector<std::string>& names, const SourceRules& rules,
                    std::vector<PlannedFile>& files);

// The names in a list's text: separated by the separator ('\n' or '\0'); empty names are
// skipped, so that a final separator or a blank line adds nothing.
std::vector<std::string> SplitNames(const std::string& text, char separator);

// The output path that a listed path keeps under -R, or nothing when it holds a ".." step.
std::optional<std::string> ListedOutputName(const std::string& path);

}  // namespace velmora::cli
