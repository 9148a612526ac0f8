// The JPEG files in a folder tree, for -R.
#pragma once

#include <sys/types.h>

#include <functional>
#include <optional>
#include <string>

namespace velmora::cli {

// A folder by its identity on disk, so that another path to it is recognised.
struct FolderIdentity {
    dev_t device = 0;
    ino_t inode = 0;

    friend bool operator==(const FolderIdentity&, const FolderIdentity&) = default;
};

std::optional<FolderIdentity> IdentityOf(const std::string& folder);

struct FolderWalkCallbacks {
    // A regular file (or a symlink to one) whose name ends in ".jpg" in any letter case: its
    // path (the folder's path joined with the names below it) and its path relative to the
    // folder.
    std::function<void(const std::string& path, const std::string& relativePath)> file;
    // A folder that could not be listed, and why; the walk goes on with the rest.
    std::function<void(const std::string& path, const std::string& message)> error;
};

// Walks the folder depth first, each folder's entries in byte order of their names, so that
// the files come in the same order on every run. Entries whose names begin with "." are
// skipped, symlinks to folders are not followed (which also keeps the walk out of loops), and
// the sub-folder `skipped` (the output directory, when it lies inside the tree) is left out,
// so that a second run does not convert the first run's outputs again.
void WalkJpegFiles(const std::string& folder, const std::optional<FolderIdentity>& skipped,
                   const FolderWalkCallbacks& callbacks);

}  // namespace velmora::cli
