// One item of a folder as the browser sees it.
#pragma once

#include <QString>

namespace velmora::ui {

struct TShellItem {
    // The item's file name: what the tree and the list show and what the JPEG filter reads.
    QString displayName;
    // The full path: every file operation uses it.
    QString path;
    bool isFolder = false;
};

}  // namespace velmora::ui
