#include "FileRename.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>

#include <cerrno>

namespace velmora::ui {

bool RenameWithoutReplacing(const std::string& from, const std::string& to) {
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) {
        return true;
    }
    if (errno != EINVAL && errno != ENOSYS) {
        return false;
    }
    // File systems that cannot refuse atomically: check first, then rename.
    struct stat existing;
    if (::lstat(to.c_str(), &existing) == 0) {
        return false;
    }
    return ::rename(from.c_str(), to.c_str()) == 0;
}

}  // namespace velmora::ui
