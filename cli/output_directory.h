// The output directory is checked once, before any file is converted: a wrong -o is one
// usage error, not one failure per file.
#pragma once

#include <optional>
#include <string>

namespace velmora::cli {

// What is wrong with DIR as the output directory (missing, not a directory, not writable),
// or nothing. Read-only directories are refused also for the superuser, as the writer does.
std::optional<std::string> OutputDirectoryProblem(const std::string& directory);

}  // namespace velmora::cli
