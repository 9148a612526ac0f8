#include "FileNames.h"

namespace velmora::ui {

QString ExtractFileExt(const QString& name) {
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot < 0 || dot < name.lastIndexOf(QLatin1Char('/'))) {
        return {};
    }
    return name.mid(dot);
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
    return AsciiUpperCase(ExtractFileExt(displayName)) == QLatin1String(".JPG");
}

}  // namespace velmora::ui
