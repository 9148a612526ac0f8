#include "EntryDetails.h"

#include <QDateTime>
#include <QFileInfo>

#include "FileNames.h"

namespace velmora::ui {

TEntryDetails ReadEntryDetails(const TShellItem& item) {
    const QFileInfo info(item.path);
    if (!info.exists()) {
        return {};
    }
    TEntryDetails details;
    details.size = item.isFolder ? QStringLiteral("-1") : QString::number(info.size());
    details.type = ExtractFileExt(item.displayName);
    details.modified = info.lastModified().toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm"));
    return details;
}

}  // namespace velmora::ui
