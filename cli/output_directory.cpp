#include "output_directory.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "cli/name_quoting.h"
#include "core/errors.h"

namespace velmora::cli {

std::optional<std::string> OutputDirectoryProblem(const std::string& directory) {
    const std::string prefix = "-o: " + QuotedName(directory) + ": ";
    struct stat info {};
    if (::stat(directory.c_str(), &info) != 0) {
        return prefix + OsErrorText(errno);
    }
    if (!S_ISDIR(info.st_mode)) {
        return prefix + OsErrorText(ENOTDIR);
    }
    if (::access(directory.c_str(), W_OK | X_OK) != 0) {
        return prefix + OsErrorText(errno);
    }
    constexpr mode_t kAnyWriteBit = S_IWUSR | S_IWGRP | S_IWOTH;
    if ((info.st_mode & kAnyWriteBit) == 0) {
        return prefix + OsErrorText(EACCES);
    }
    return std::nullopt;
}

}  // namespace velmora::cli
