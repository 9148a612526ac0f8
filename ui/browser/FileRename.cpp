#include "FileRename.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>

#include <QFile>
#include <cerrno>

namespace velmora::ui {

bool RenameWithoutReplacing(const QString& from, const QString& to) {
    const QByteArray source = QFile::encodeName(from);
    const QByteArray target = QFile::encodeName(to);
    if (::renameat2(AT_FDCWD, source.constData(), AT_FDCWD, target.constData(),
                    RENAME_NOREPLACE) == 0) {
        return true;
    }
    if (errno != EINVAL && errno != ENOSYS) {
        return false;
    }
    // File systems that cannot refuse atomically: check first, then rename.
    struct stat existing;
    if (::lstat(target.constData(), &existing) == 0) {
        return false;
    }
    return ::rename(source.constData(), target.constData()) == 0;
}

}  // namespace velmora::ui
