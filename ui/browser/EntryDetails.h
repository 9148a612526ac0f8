// The detail columns of a list entry: size, type and time of the last write.
#pragma once

#include <QString>

#include "ShellItem.h"

namespace velmora::ui {

struct TEntryDetails {
    QString size;      // bytes; "-1" for a folder
    QString type;      // the extension with its dot, "" when there is none
    QString modified;  // local time, "yyyy-MM-dd HH:mm"
};

// One look at the file system for all three; an item that is gone gives empty texts.
TEntryDetails ReadEntryDetails(const TShellItem& item);

}  // namespace velmora::ui
