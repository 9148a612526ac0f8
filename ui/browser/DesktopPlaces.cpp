#include "DesktopPlaces.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStorageInfo>
#include <algorithm>

#include "FileNames.h"
#include "NameOrder.h"
#include "ShellIcons.h"
#include "ui/CoreText.h"

namespace velmora::ui {

namespace {

const char* const kPseudoTypes[] = {
    "autofs",      "binfmt_misc", "bpf",        "cgroup",     "cgroup2",  "configfs",
    "debugfs",     "devpts",      "devtmpfs",   "efivarfs",   "fusectl",  "fuse.gvfsd-fuse",
    "fuse.portal", "hugetlbfs",   "mqueue",     "nsfs",       "overlay",  "proc",
    "pstore",      "ramfs",       "rpc_pipefs", "securityfs", "squashfs", "sysfs",
    "tmpfs",       "tracefs",
};

const char* const kSystemTrees[] = {"/proc", "/sys", "/dev", "/run", "/snap"};

bool IsBelow(const QString& path, const QString& folder) {
    return path == folder || path.startsWith(folder + QLatin1Char('/'));
}

bool IsHidden(const QString& path) {
    return path.contains(QLatin1String("/."));
}

std::vector<TPlace> MountedVolumes() {
    std::vector<TPlace> volumes;
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        const QString mountPoint = volume.rootPath();
        if (!volume.isValid() || !volume.isReady() || mountPoint == QLatin1String("/") ||
            IsPseudoMount(volume.fileSystemType(), mountPoint)) {
            continue;
        }
        volumes.push_back(TPlace{volume.displayName(), ToCorePath(mountPoint), DriveIcon()});
    }
    const TNameOrder order;
    std::sort(volumes.begin(), volumes.end(), [&](const TPlace& a, const TPlace& b) {
        return order.Compare(a.caption, b.caption) < 0;
    });
    return volumes;
}

bool IsFolder(const std::string& path) {
    return QFileInfo(FromCorePath(path)).isDir();
}

}  // namespace

bool IsPseudoMount(const QByteArray& fileSystemType, const QString& mountPoint) {
    for (const char* type : kPseudoTypes) {
        if (fileSystemType == type) {
            return true;
        }
    }
    // Removable media are mounted below /run/media on some systems.
    if (IsBelow(mountPoint, QStringLiteral("/run/media"))) {
        return IsHidden(mountPoint);
    }
    for (const char* tree : kSystemTrees) {
        if (IsBelow(mountPoint, QLatin1String(tree))) {
            return true;
        }
    }
    return IsHidden(mountPoint);
}

std::vector<TPlace> DesktopPlaces(const std::string& desktop) {
    std::vector<TPlace> candidates = {
        {QStringLiteral("主文件夹"), ToCorePath(QDir::homePath()), HomeIcon()},
        {QStringLiteral("图片"),
         ToCorePath(QStandardPaths::writableLocation(QStandardPaths::PicturesLocation)),
         PicturesIcon()},
        {QStringLiteral("文件系统"), "/", DriveIcon()},
    };
    for (TPlace& volume : MountedVolumes()) {
        candidates.push_back(std::move(volume));
    }
    std::vector<TPlace> places;
    std::vector<std::string> seen = {WithoutTrailingSlash(desktop)};
    for (TPlace& place : candidates) {
        const std::string path = WithoutTrailingSlash(place.path);
        if (path.empty() || std::find(seen.begin(), seen.end(), path) != seen.end() ||
            !IsFolder(path)) {
            continue;
        }
        seen.push_back(path);
        places.push_back(std::move(place));
    }
    return places;
}

}  // namespace velmora::ui
