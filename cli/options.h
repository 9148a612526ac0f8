// The command line of velmora-convert.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/picture_metadata.h"

namespace velmora::cli {

enum class Verbosity { kQuiet, kNormal, kVerbose };

struct ConvertOptions {
    int compressPercent = 75;
    // Whether -c was given: with --max-size it caps the quality that is tried.
    bool compressGiven = false;
    int resizePercent = 100;
    // "-": the one result goes to standard output.
    std::string outputDirectory;
    unsigned jobs = 1;
    // Folders given as FILE (or listed) are walked for their .jpg files, and each output keeps
    // its path relative to that folder (a listed name keeps its whole relative path).
    bool recursive = false;
    // --files-from: each names a file holding more names ("-": standard input).
    std::vector<std::string> fileLists;
    char listSeparator = '\n';
    bool keepDates = false;
    bool onlySmaller = false;
    bool noClobber = false;
    bool dryRun = false;
    // --max-size in bytes.
    std::optional<uint64_t> maxBytes;
    TMetadataKept metadata = TMetadataKept::kOrientationAndProfile;
    Verbosity verbosity = Verbosity::kNormal;
    std::vector<std::string> files;
};

enum class CommandKind { kConvert, kHelp, kVersion, kUsageError };

struct Command {
    CommandKind kind = CommandKind::kConvert;
    ConvertOptions options;  // kConvert
    std::string error;       // kUsageError: what is wrong, without the program name
};

// The arguments after the program name, parsed with getopt_long: options may come before,
// between or after the files; "--" ends the options. Only what the arguments alone decide
// is checked here; the output directory and the file lists are checked before any work by
// the caller.
Command ParseCommandLine(const std::vector<std::string>& arguments);

// The number of processors, but no more conversions than fit at once in the memory available
// now, each at the bound of what one conversion may take; at least 1.
unsigned DefaultJobCount();

inline constexpr unsigned kMaxJobs = 1024;
// --max-size is given in KB of 1024 bytes, up to 1 TiB.
inline constexpr uint64_t kMaxSizeLimitKb = uint64_t{1} << 30;
inline constexpr const char* kUsageLine = "Usage: velmora-convert [OPTION]... -o DIR FILE...";

std::string HelpText();
std::string VersionText();

}  // namespace velmora::cli
