// Where a batch writes: the output directory as the settings hold it, the check that keeps a
// batch from writing anywhere else, and the output path of each file.
#pragma once

#include <optional>
#include <string>

namespace velmora {

// The output directory of a batch, as the file system's bytes (which need not be valid
// text), and whether the stored value was longer than the settings reader hands out.
struct TOutputDirectory {
    std::string path;
    bool cut = false;
};

// "OutPath" of the settings file; empty when it is missing.
TOutputDirectory ReadOutputDirectory(const std::string& settingsFile);

// Why a batch must not write into the directory, as a message for the user, or nothing. An
// empty text would write into the current directory (over the originals when the program was
// started from their folder), a relative one into a place that depends on it, and a cut one
// into another directory than the one stored. Whether the directory exists and may be
// written is for the first file to find out.
std::optional<std::string> OutputDirectoryProblem(const TOutputDirectory& directory);

// The directory followed by the file name, with one "/" between them where the directory
// does not end in one.
std::string OutputPathIn(const std::string& directory, const std::string& fileName);

}  // namespace velmora
