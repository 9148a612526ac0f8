// One item of a folder as the browser sees it.
#pragma once

#include <QString>
#include <string>

namespace velmora::ui {

struct TShellItem {
    // The item's file name as text: what the tree and the list show and what the JPEG filter
    // reads.
    QString displayName;
    // The full path in the file system's bytes: every file operation uses it, so a name that
    // is no valid text still opens.
    std::string path;
    bool isFolder = false;
};

}  // namespace velmora::ui
