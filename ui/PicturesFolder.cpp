#include "PicturesFolder.h"

#include <QDir>
#include <QStandardPaths>

#include "CoreText.h"

namespace velmora::ui {

std::string PicturesFolder() {
    const QString home = QDir::cleanPath(QDir::homePath());
    QString pictures =
        QDir::cleanPath(QStandardPaths::writableLocation(QStandardPaths::PicturesLocation));
    // A user-dirs.dirs entry of "$HOME/" is how xdg-user-dirs switches a folder off.
    if (pictures.isEmpty() || pictures == home) {
        pictures = home + QStringLiteral("/Pictures");
    }
    return ToCorePath(pictures);
}

}  // namespace velmora::ui
