#include "FolderEnumeration.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <functional>
#include <optional>

#include "FileNames.h"
#include "ui/CoreText.h"

namespace velmora::ui {

namespace {

class TDirectory {
  public:
    explicit TDirectory(const std::string& path) : dir_(::opendir(path.c_str())) {}
    ~TDirectory() {
        if (dir_) {
            ::closedir(dir_);
        }
    }
    TDirectory(const TDirectory&) = delete;
    TDirectory& operator=(const TDirectory&) = delete;

    DIR* Get() const { return dir_; }

  private:
    DIR* dir_;
};

enum class TKind { Folder, File, Other };

// The file type from the directory entry where it says so, else from the item itself, links
// followed.
TKind KindOf(const TDirectory& dir, const dirent& entry) {
    if (entry.d_type == DT_DIR) {
        return TKind::Folder;
    }
    if (entry.d_type == DT_REG) {
        return TKind::File;
    }
    if (entry.d_type != DT_LNK && entry.d_type != DT_UNKNOWN) {
        return TKind::Other;
    }
    struct stat status;
    if (::fstatat(::dirfd(dir.Get()), entry.d_name, &status, 0) != 0) {
        return TKind::Other;
    }
    if (S_ISDIR(status.st_mode)) {
        return TKind::Folder;
    }
    return S_ISREG(status.st_mode) ? TKind::File : TKind::Other;
}

// Calls visit for each listed item until it returns false.
void VisitFolder(const std::string& folder, TEnumeration what,
                 const std::function<bool(const dirent&, bool isFolder)>& visit) {
    const TDirectory dir(folder);
    if (!dir.Get()) {
        return;
    }
    while (const dirent* entry = ::readdir(dir.Get())) {
        if (entry->d_name[0] == '.') {
            continue;  // hidden, and the "." and ".." entries
        }
        const TKind kind = KindOf(dir, *entry);
        const bool listed =
            kind == TKind::Folder || (kind == TKind::File && what == TEnumeration::FoldersAndFiles);
        if (listed && !visit(*entry, kind == TKind::Folder)) {
            return;
        }
    }
}

}  // namespace

std::vector<TShellItem> EnumerateFolder(const std::string& folder, TEnumeration what) {
    std::vector<TShellItem> items;
    VisitFolder(folder, what, [&](const dirent& entry, bool isFolder) {
        items.push_back(
            TShellItem{FromCorePath(entry.d_name), JoinPath(folder, entry.d_name), isFolder});
        return true;
    });
    return items;
}

bool HasSubFolders(const std::string& folder) {
    bool found = false;
    VisitFolder(folder, TEnumeration::Folders, [&](const dirent&, bool) {
        found = true;
        return false;
    });
    return found;
}

}  // namespace velmora::ui
