// The places shown under the desktop besides its own folders, so that every folder can be
// reached from the tree: the home folder, the pictures folder, the whole file system and
// each mounted volume.
#pragma once

#include <QIcon>
#include <QString>
#include <string>
#include <vector>

namespace velmora::ui {

struct TPlace {
    QString caption;
    std::string path;  // the file system's bytes
    QIcon icon;
};

// In this order: "主文件夹" (home), "图片" (pictures), "文件系统" ("/"), then the mounted
// volumes by name. A place that is the desktop itself, repeats an earlier one or does not
// exist is left out.
std::vector<TPlace> DesktopPlaces(const std::string& desktop);

// Mounts that hold no user files: kernel interfaces, memory file systems, container layers,
// anything mounted below /proc, /sys, /dev, /run (but /run/media) or /snap, or inside a
// hidden folder.
bool IsPseudoMount(const QByteArray& fileSystemType, const QString& mountPoint);

}  // namespace velmora::ui
