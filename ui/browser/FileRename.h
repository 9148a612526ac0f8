// Renaming a file or folder without ever replacing an existing item.
#pragma once

#include <QString>

namespace velmora::ui {

// False when the rename was refused (the target exists, the name is not allowed, no
// permission, ...); nothing is changed then.
bool RenameWithoutReplacing(const QString& from, const QString& to);

}  // namespace velmora::ui
