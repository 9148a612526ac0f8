// Readable QString values in test failures. GoogleTest finds PrintTo by argument-dependent
// lookup, so it is declared in Qt's namespace (the global one unless Qt is built with its own).
#pragma once

#include <QString>
#include <ostream>

QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}
QT_END_NAMESPACE
