#include "folder_walk.h"

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <vector>

#include "core/errors.h"
#include "core/file_names.h"

namespace velmora::cli {

namespace {

namespace fs = std::filesystem;

enum class EntryKind { kFolder, kFile };

struct Entry {
    std::string name;
    EntryKind kind;
};

// One folder being walked: its entries, sorted, and how far the walk has come.
struct Level {
    std::string path;
    std::string relativePath;
    std::vector<Entry> entries;
    size_t next = 0;
};

std::string Join(const std::string& folder, const std::string& name) {
    if (folder.empty()) {
        return name;
    }
    return folder.back() == '/' ? folder + name : folder + '/' + name;
}

// The entry's kind, or nothing for what the walk leaves alone: symlinks to folders, devices,
// pipes and sockets (reading one would block or never end).
std::optional<EntryKind> KindOf(const fs::directory_entry& entry) {
    std::error_code error;
    const fs::file_status own = entry.symlink_status(error);
    if (error) {
        return std::nullopt;
    }
    if (fs::is_directory(own)) {
        return EntryKind::kFolder;
    }
    const fs::file_status target = fs::is_symlink(own) ? entry.status(error) : own;
    if (!error && fs::is_regular_file(target)) {
        return EntryKind::kFile;
    }
    return std::nullopt;
}

std::optional<Level> List(const std::string& path, const std::string& relativePath,
                          const FolderWalkCallbacks& callbacks) {
    Level level{path, relativePath, {}, 0};
    std::error_code error;
    fs::directory_iterator it(path, error);
    for (; !error && it != fs::directory_iterator(); it.increment(error)) {
        std::string name = it->path().filename().native();
        if (name.empty() || name[0] == '.') {
            continue;
        }
        if (const auto kind = KindOf(*it)) {
            if (*kind == EntryKind::kFolder || HasJpgExtension(name)) {
                level.entries.push_back({std::move(name), *kind});
            }
        }
    }
    if (error) {
        callbacks.error(path, "cannot list the folder: " + OsErrorText(error.value()));
        return std::nullopt;
    }
    std::sort(level.entries.begin(), level.entries.end(),
              [](const Entry& a, const Entry& b) { return a.name < b.name; });
    return level;
}

}  // namespace

std::optional<FolderIdentity> IdentityOf(const std::string& folder) {
    struct stat info {};
    if (::stat(folder.c_str(), &info) != 0) {
        return std::nullopt;
    }
    return FolderIdentity{info.st_dev, info.st_ino};
}

void WalkJpegFiles(const std::string& folder, const std::optional<FolderIdentity>& skipped,
                   const FolderWalkCallbacks& callbacks) {
    // An explicit stack: a hostile tree thousands of folders deep must not overflow the
    // call stack.
    std::vector<Level> stack;
    if (auto root = List(folder, "", callbacks)) {
        stack.push_back(std::move(*root));
    }
    while (!stack.empty()) {
        Level& level = stack.back();
        if (level.next == level.entries.size()) {
            stack.pop_back();
            continue;
        }
        const Entry& entry = level.entries[level.next++];
        const std::string path = Join(level.path, entry.name);
        const std::string relativePath = Join(level.relativePath, entry.name);
        if (entry.kind == EntryKind::kFile) {
            callbacks.file(path, relativePath);
        } else if (!skipped || IdentityOf(path) != skipped) {
            if (auto sub = List(path, relativePath, callbacks)) {
                stack.push_back(std::move(*sub));
            }
        }
    }
}

}  // namespace velmora::cli
