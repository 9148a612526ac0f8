#include "DesktopPlaces.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStorageInfo>
#include <algorithm>

#include "NameOrder.h"
#include "ShellIcons.h"

namespace velmora::ui {

namespace {

const char* const kPseudoTypes[] = {
    "autofs",     "binfmt_misc", "bpf",      "cgroup",  "cgroup2", "configfs",
    "debugfs",    "devpts",      "devtmpfs", "efivarfs", "fusectl", "fuse.gvfsd-fuse",
    "fuse.portal", "hugetlbfs",  "mqueue",   "nsfs",    "overlay", "proc",
    "pstore",     "ramfs",       "rpc_pipefs", "securityfs", "squashfs", "sysfs",
    "tmpfs",      "tracefs",
};

const char* const kSystemTrees[] = {"/proc", "/sys", "/dev", "/run", "/snap"};

bool IsBelow(const QString& path, const QString& folder) {
    return path == folder || path.startsWith(folder + QLatin1Char('/'));
}

std::vector<TPlace> MountedVolumes() {
    std::vector<TPlace> volumes;
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        const QString mountPoint = volume.rootPath();
        if (!volume.isValid() || !volume.isReady() || mountPoint == QLatin1String("/") ||
            IsPseudoMount(volume.fileSystemType(), mountPoint) || !QFileInfo(mountPoint).isDir()) {
            continue;
        }
        volumes.push_back(TPlace{volume.displayName(), mountPoint, DriveIcon()});
    }
    const TNameOrder order;
    std::sort(volumes.begin(), volumes.end(), [&](const TPlace& a, const TPlace& b) {
        return order.Compare(a.caption, b.caption) < 0;
    });
    return volumes;
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
        return mountPoint.contains(QLatin1String("/."));
    }
    for (const char* tree : kSystemTrees) {
        if (IsBelow(mountPoint, QLatin1String(tree))) {
            return true;
        }
    }
    return mountPoint.contains(QLatin1String("/."));
}

std::vector<TPlace> DesktopPlaces(const QString& desktop) {
    const QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    std::vector<TPlace> candidates = {
        {QStringLiteral("主文件夹"), QDir::homePath(), HomeIcon()},
        {QStringLiteral("图片"), pictures, PicturesIcon()},
        {QStringLiteral("文件系统"), QStringLiteral("/"), DriveIcon()},
    };
    for (TPlace& volume : MountedVolumes()) {
        candidates.push_back(std::move(volume));
    }
    std::vector<TPlace> places;
    const QString desktopPath = QDir::cleanPath(desktop);
    for (TPlace& place : candidates) {
        const bool duplicate = std::any_of(places.begin(), places.end(), [&](const TPlace& p) {
            return p.path == place.path;
        });
        if (place.path.isEmpty() || QDir::cleanPath(place.path) == desktopPath || duplicate ||
            !QFileInfo(place.path).isDir()) {
            continue;
        }
        places.push_back(std::move(place));
    }
    return places;
}

}  // namespace velmora::ui
