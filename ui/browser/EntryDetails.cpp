#include "EntryDetails.h"

#include <sys/stat.h>

#include <QDateTime>

#include "FileNames.h"

namespace velmora::ui {

TEntryDetails ReadEntryDetails(const TShellItem& item) {
    struct stat status;
    if (::stat(item.path.c_str(), &status) != 0) {
        return {};
    }
    TEntryDetails details;
    details.size = item.isFolder ? QStringLiteral("-1") : QString::number(status.st_size);
    details.type = ExtractFileExt(item.displayName);
    details.modified = QDateTime::fromSecsSinceEpoch(status.st_mtim.tv_sec)
                           .toString(QStringLiteral("yyyy-MM-dd HH:mm"));
    return details;
}

}  // namespace velmora::ui
