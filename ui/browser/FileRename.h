// Renaming a file or folder without ever replacing an existing item.
#pragma once

#include <string>

namespace velmora::ui {

// False when the rename was refused (the target exists, the name is not allowed, no
// permission, ...); nothing is changed then. Paths are the file system's bytes.
bool RenameWithoutReplacing(const std::string& from, const std::string& to);

}  // namespace velmora::ui
