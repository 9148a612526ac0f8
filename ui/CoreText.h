// Text crossing between Qt and the core: core strings are UTF-8, file paths the file
// system's bytes (bytes that are no valid text show as replacement characters).
#pragma once

#include <QFile>
#include <QString>
#include <string>

namespace velmora::ui {

inline std::string ToCorePath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}
inline QString FromCorePath(const std::string& path) {
    return QFile::decodeName(QByteArray::fromStdString(path));
}

}  // namespace velmora::ui
