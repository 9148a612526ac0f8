// The command line of velmora-convert.
#pragma once

#include <string>
#include <vector>

namespace velmora::cli {

struct ConvertOptions {
    int compressPercent = 75;
    int resizePercent = 100;
    std::string outputDirectory;
    unsigned jobs = 1;
    std::vector<std::string> files;
};

enum class CommandKind { kConvert, kHelp, kVersion, kUsageError };

struct Command {
    CommandKind kind = CommandKind::kConvert;
    ConvertOptions options;  // kConvert
    std::string error;       // kUsageError: what is wrong, without the program name
};

// The arguments after the program name. Options may come before, between or after the
// files; "--" ends the options.
Command ParseCommandLine(const std::vector<std::string>& arguments);

// The number of processors, but no more conversions than fit at once in the memory available
// now, each at the bound of what one conversion may take; at least 1.
unsigned DefaultJobCount();

inline constexpr unsigned kMaxJobs = 1024;
inline constexpr const char* kUsageLine =
    "usage: velmora-convert [-c PERCENT] [-r PERCENT] -o DIR [-j N] FILE...";

std::string HelpText();
std::string VersionText();

}  // namespace velmora::cli
