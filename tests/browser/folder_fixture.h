// Folder trees for the browser tests.
#pragma once

#include <QString>
#include <QStringList>
#include <cstddef>
#include <string>

#include "support/qstring_print.h"
#include "support/temp_dir.h"

namespace velmora::test {

// A file of the given size (bytes of no meaning).
void WriteFileOfSize(const std::string& path, size_t size);
// A small valid JPEG file.
void WriteJpegFile(const std::string& path, int width = 16, int height = 8);
void MakeFolder(const std::string& path);

inline QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

}  // namespace velmora::test
