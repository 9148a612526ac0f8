#include "FolderEnumeration.h"

#include <QDirIterator>
#include <QFileInfo>

namespace velmora::ui {

namespace {

// Without QDir::Hidden names starting with "." are skipped; without QDir::System devices,
// pipes, sockets and broken links are.
QDir::Filters FiltersFor(TEnumeration what) {
    QDir::Filters filters = QDir::Dirs | QDir::NoDotAndDotDot;
    if (what == TEnumeration::FoldersAndFiles) {
        filters |= QDir::Files;
    }
    return filters;
}

}  // namespace

std::vector<TShellItem> EnumerateFolder(const QString& folder, TEnumeration what) {
    std::vector<TShellItem> items;
    QDirIterator it(folder, FiltersFor(what));
    while (it.hasNext()) {
        it.next();
        const QFileInfo info = it.fileInfo();
        // A link to a pipe or a device passes the filters above; it is no picture to open.
        if (!info.isDir() && !info.isFile()) {
            continue;
        }
        items.push_back(TShellItem{info.fileName(), info.filePath(), info.isDir()});
    }
    return items;
}

bool HasSubFolders(const QString& folder) {
    QDirIterator it(folder, FiltersFor(TEnumeration::Folders));
    return it.hasNext();
}

}  // namespace velmora::ui
