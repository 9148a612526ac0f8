#include "PickFolder.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QStandardPaths>

namespace velmora::ui {

namespace {

QString RootDirectory(const QString& root) {
    if (root.isEmpty() || root == QStringLiteral("桌面")) {
        return DesktopDirectory();
    }
    return QFileInfo(root).isDir() ? root : DesktopDirectory();
}

}  // namespace

QString DesktopDirectory() {
    const QString desktop = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    return QFileInfo(desktop).isDir() ? desktop : QDir::homePath();
}

bool PickFolder(const QString& caption, const QString& root, QString& directory) {
    if (!QFileInfo(directory).isDir()) {
        directory.clear();
    }
    // Qt's own dialog, the same on every desktop; it only lets existing folders be confirmed.
    // It cannot offer a folder whose name is not valid UTF-8: Qt reads every file name as
    // UTF-8 text, and a name that is not comes out with replacement characters, names no file
    // and is left out of the listing.
    QFileDialog dialog(nullptr, caption, directory.isEmpty() ? RootDirectory(root) : directory);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOptions(QFileDialog::ShowDirsOnly | QFileDialog::DontUseNativeDialog |
                      QFileDialog::DontResolveSymlinks);
    dialog.setWindowModality(Qt::ApplicationModal);
    // Folders only, by name, with the program's own wording.
    dialog.setViewMode(QFileDialog::List);
    dialog.setLabelText(QFileDialog::LookIn, QStringLiteral("查找范围:"));
    dialog.setLabelText(QFileDialog::FileName, QStringLiteral("文件夹:"));
    dialog.setLabelText(QFileDialog::FileType, QStringLiteral("类型:"));
    dialog.setNameFilter(QStringLiteral("文件夹 (*)"));
    dialog.setLabelText(QFileDialog::Accept, QStringLiteral("确定"));
    dialog.setLabelText(QFileDialog::Reject, QStringLiteral("取消"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return false;
    }
    const QString chosen = dialog.selectedFiles().constFirst();
    if (!QFileInfo(chosen).isDir()) {
        return false;
    }
    directory = QDir::cleanPath(QFileInfo(chosen).absoluteFilePath());
    return true;
}

void BrowseOutputFolder(const QString& caption, QLineEdit& edit) {
    QString directory;
    PickFolder(caption, QStringLiteral("桌面"), directory);
    if (!directory.isEmpty()) {
        edit.setText(directory.endsWith(QLatin1Char('/')) ? directory
                                                          : directory + QLatin1Char('/'));
    }
}

}  // namespace velmora::ui
