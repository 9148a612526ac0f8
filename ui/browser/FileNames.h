// Name rules shared by the browser: extensions, ASCII-only upper case, the JPEG filter, and
// joining and trimming paths.
#pragma once

#include <QString>
#include <string>

namespace velmora::ui {

// The part of the name from the last "." that follows the last "/", or "" when there is
// none. ":" is an ordinary file-name character here, not a delimiter.
QString ExtractFileExt(const QString& name);
// The same rule on a path's bytes.
std::string ExtractFileExt(const std::string& path);

// Upper case for the letters a..z only; every other character stays as it is.
QString AsciiUpperCase(const QString& text);

// The JPEG filter of the file list: the core's rule (the extension is ".jpg" in any letter
// case) on the display name. Folders are judged by the same rule, so ".jpeg" is out and a
// folder named "x.jpg" is in.
bool HasJpgExtension(const QString& displayName);

// folder + "/" + name, without doubling the "/" of the root.
std::string JoinPath(const std::string& folder, const std::string& name);

// The path without trailing "/" (but "/" itself), so that two spellings of one folder compare
// equal.
std::string WithoutTrailingSlash(const std::string& path);

}  // namespace velmora::ui
