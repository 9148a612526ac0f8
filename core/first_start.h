// The settings file written on a program's first start.
#pragma once

#include <string>

#include "ini_file.h"
#include "settings_place.h"

namespace velmora {

// Writes "OutPath", "CompressPre" = "75" and "ResizePre" = "100", in this order. In the
// portable layout the output directory is the settings directory itself. An installed
// program's folder is no place for photos: its output directory is picturesFolder followed
// by "/Velmora/", and both the settings directory and that folder are created. Raises
// EIniFileException when the settings cannot be written.
void WriteFirstStartSettings(TIniFile& settings, const SettingsPlace& place,
                             const std::string& picturesFolder);

}  // namespace velmora
