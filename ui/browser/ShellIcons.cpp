#include "ShellIcons.h"

#include <QApplication>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QStyle>

#include "FileNames.h"

namespace velmora::ui {

namespace {

QIcon Themed(const char* name, QStyle::StandardPixmap fallback) {
    return QIcon::fromTheme(QLatin1String(name), QApplication::style()->standardIcon(fallback));
}

// Every size of the icon in the given mode, for both states.
void AddMode(QIcon& target, const QIcon& source, QIcon::Mode mode) {
    QList<QSize> sizes = source.availableSizes();
    if (sizes.isEmpty()) {
        sizes = {QSize(16, 16), QSize(32, 32)};
    }
    for (const QSize& size : sizes) {
        const QPixmap pixmap = source.pixmap(size);
        target.addPixmap(pixmap, mode, QIcon::Off);
        target.addPixmap(pixmap, mode, QIcon::On);
    }
}

}  // namespace

QIcon FolderIcon() {
    // The tree draws a selected node with the icon's Selected mode and an expanded one with
    // its On state; only selection shows the open folder.
    const QIcon closed = QFileIconProvider().icon(QFileIconProvider::Folder);
    const QIcon open = Themed("folder-open", QStyle::SP_DirOpenIcon);
    QIcon icon;
    AddMode(icon, closed, QIcon::Normal);
    AddMode(icon, open, QIcon::Selected);
    return icon;
}

QIcon DesktopIcon() {
    return Themed("user-desktop", QStyle::SP_DesktopIcon);
}

QIcon HomeIcon() {
    return Themed("user-home", QStyle::SP_DirHomeIcon);
}

QIcon PicturesIcon() {
    return Themed("folder-pictures", QStyle::SP_DirIcon);
}

QIcon DriveIcon() {
    return Themed("drive-harddisk", QStyle::SP_DriveHDIcon);
}

QIcon TEntryIcons::Icon(const QString& fileName, bool isFolder) {
    if (isFolder) {
        if (folder_.isNull()) {
            folder_ = QFileIconProvider().icon(QFileIconProvider::Folder);
        }
        return folder_;
    }
    const QString extension = ExtractFileExt(fileName).toLower();
    auto found = byExtension_.constFind(extension);
    if (found == byExtension_.constEnd()) {
        const QMimeType type =
            QMimeDatabase().mimeTypeForFile(fileName, QMimeDatabase::MatchExtension);
        const QIcon generic = QFileIconProvider().icon(QFileIconProvider::File);
        found = byExtension_.insert(extension, QIcon::fromTheme(type.iconName(), generic));
    }
    return *found;
}

}  // namespace velmora::ui
