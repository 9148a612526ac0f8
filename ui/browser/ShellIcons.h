// The icons of the folder tree and the file list, from the desktop's icon theme with the
// style's standard icons where the theme has none.
#pragma once

#include <QHash>
#include <QIcon>
#include <QString>

class QStyle;

namespace velmora::ui {

// A folder: closed, and open while its node is selected (the icon's Selected mode).
QIcon FolderIcon();
QIcon DesktopIcon();
QIcon HomeIcon();
QIcon PicturesIcon();
QIcon DriveIcon();

// The small icon of a list entry, by kind: folders share one, files share one per extension.
class TEntryIcons {
  public:
    QIcon Icon(const QString& fileName, bool isFolder);

  private:
    QIcon folder_;
    QHash<QString, QIcon> byExtension_;
};

}  // namespace velmora::ui
