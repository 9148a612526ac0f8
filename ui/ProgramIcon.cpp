#include "ProgramIcon.h"

#include <QDir>

namespace velmora::ui {

QIcon ProgramIcon() {
    QIcon icon;
    const QDir images(QStringLiteral(":/icons"));
    for (const QString& name : images.entryList(QDir::Files)) {
        icon.addFile(images.filePath(name));
    }
    return icon;
}

}  // namespace velmora::ui
