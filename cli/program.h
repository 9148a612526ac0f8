// velmora-convert from its arguments to its exit status.
#pragma once

#include <string>
#include <vector>

namespace velmora::cli {

// Exit status 0 when no file failed, 1 when any did, 2 for a usage error found before any
// work (the options, the output directory, the file lists, standard input and output).
int RunProgram(const std::vector<std::string>& arguments);

}  // namespace velmora::cli
