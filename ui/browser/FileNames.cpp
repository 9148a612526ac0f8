#include "FileNames.h"

#include "core/file_names.h"

namespace velmora::ui {

QString ExtractFileExt(const QString& name) {
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot < 0 || dot < name.lastIndexOf(QLatin1Char('/'))) {
        return {};
    }
    return name.mid(dot);
}

std::string ExtractFileExt(const std::string& path) {
    const size_t dot = path.rfind('.');
    const size_t slash = path.rfind('/');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) {
        return {};
    }
    return path.substr(dot);
}

QString AsciiUpperCase(const QString& text) {
    QString upper = text;
    for (QChar& c : upper) {
        if (c >= QLatin1Char('a') && c <= QLatin1Char('z')) {
            c = QChar(c.unicode() - 'a' + 'A');
        }
    }
    return upper;
}

bool HasJpgExtension(const QString& displayName) {
    return velmora::HasJpgExtension(displayName.toUtf8().toStdString());
}

std::string JoinPath(const std::string& folder, const std::string& name) {
    if (!folder.empty() && folder.back() == '/') {
        return folder + name;
    }
    return folder + '/' + name;
}

std::string WithoutTrailingSlash(const std::string& path) {
    std::string trimmed = path;
    while (trimmed.size() > 1 && trimmed.back() == '/') {
        trimmed.pop_back();
    }
    return trimmed;
}

}  // namespace velmora::ui
