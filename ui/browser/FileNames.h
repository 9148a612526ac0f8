// Name rules shared by the browser: extensions, ASCII-only upper case, the JPEG filter.
#pragma once

#include <QString>

namespace velmora::ui {

// The part of the name from the last "." that follows the last "/", or "" when there is
// none. ":" is an ordinary file-name character here, not a delimiter.
QString ExtractFileExt(const QString& name);

// Upper case for the letters a..z only; every other character stays as it is.
QString AsciiUpperCase(const QString& text);

// The JPEG filter of the file list: the name's extension, upper-cased, is ".JPG". Folders
// are judged by the same rule, so ".jpeg" is out and a folder named "x.jpg" is in.
bool HasJpgExtension(const QString& displayName);

}  // namespace velmora::ui
