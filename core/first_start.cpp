#include "first_start.h"

#include "settings.h"

namespace velmora {

namespace {

void WriteDefaults(TIniFile& settings, const std::string& outPath) {
    settings.WriteSetting(kSettingsSection, kOutPathKey, outPath);
    settings.WriteSetting(kSettingsSection, kCompressPreKey, "75");
    settings.WriteSetting(kSettingsSection, kResizePreKey, "100");
}

}  // namespace

void WriteFirstStartSettings(TIniFile& settings, const SettingsPlace& place,
                             const std::string& picturesFolder) {
    if (place.besideProgram) {
        WriteDefaults(settings, place.directory);
        return;
    }
    CreateDirectories(place.directory);
    const std::string outPath = picturesFolder + "/Velmora/";
    WriteDefaults(settings, outPath);
    // Only once the settings are written, so that a failing start leaves no folder behind.
    CreateDirectories(outPath);
}

}  // namespace velmora
