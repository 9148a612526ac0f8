// The user's pictures folder, where an installed program puts its converted photos.
#pragma once

#include <string>

namespace velmora::ui {

// The folder that xdg-user-dirs names PICTURES (the one `xdg-user-dir PICTURES` prints) when
// it is a folder other than home, else ~/Pictures; without a trailing "/".
std::string PicturesFolder();

}  // namespace velmora::ui
