// The one rule that decides which files are JPEG pictures, shared by the browser's list and
// velmora-convert's folder walk.
#pragma once

#include <string_view>

namespace velmora {

// Whether the name's extension (from its last ".", when no "/" follows it) is ".jpg" in any
// ASCII letter case. ".jpeg" is out. Works on the file system's bytes, so a name that is not
// valid UTF-8 is judged by its ending like any other.
bool HasJpgExtension(std::string_view name);

}  // namespace velmora
