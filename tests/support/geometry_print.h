// Readable rectangles, sizes and points in test failures (found by argument-dependent lookup in
// Qt's namespace, like the QString printer).
#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>
#include <ostream>

QT_BEGIN_NAMESPACE
inline void PrintTo(const QPoint& point, std::ostream* out) {
    *out << '(' << point.x() << ", " << point.y() << ')';
}
inline void PrintTo(const QSize& size, std::ostream* out) {
    *out << size.width() << " x " << size.height();
}
inline void PrintTo(const QRect& rect, std::ostream* out) {
    *out << rect.x() << ", " << rect.y() << ", " << rect.width() << " x " << rect.height();
}
QT_END_NAMESPACE
