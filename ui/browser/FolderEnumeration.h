// Enumerating a folder the way the browser needs it.
#pragma once

#include <string>
#include <vector>

#include "ShellItem.h"

namespace velmora::ui {

enum class TEnumeration { Folders, FoldersAndFiles };

// The folder's items in the order the file system gives them. Hidden items (names starting
// with ".") are left out, and so are devices, pipes, sockets and broken links: only folders
// and regular files, also when reached through a link. A folder that cannot be read has no
// items.
std::vector<TShellItem> EnumerateFolder(const std::string& folder, TEnumeration what);

// Whether the folder holds at least one folder that EnumerateFolder would list.
bool HasSubFolders(const std::string& folder);

}  // namespace velmora::ui
