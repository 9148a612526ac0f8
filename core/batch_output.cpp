#include "batch_output.h"

#include "ini_file.h"
#include "settings.h"

namespace velmora {

TOutputDirectory ReadOutputDirectory(const std::string& settingsFile) {
    const TSettingValue value =
        TIniFile(settingsFile).ReadSettingValue(kSettingsSection, kOutPathKey, "");
    return {value.text, value.cut};
}

std::optional<std::string> OutputDirectoryProblem(const TOutputDirectory& directory) {
    if (directory.cut) {
        return "The output directory in the settings is longer than 2047 bytes; choose it again";
    }
    if (directory.path.empty()) {
        return std::string("No output directory is set; choose one");
    }
    if (directory.path.front() != '/') {
        return "The output directory \"" + directory.path + "\" is not a full path; choose one";
    }
    return std::nullopt;
}

std::string OutputPathIn(const std::string& directory, const std::string& fileName) {
    if (!directory.empty() && directory.back() == '/') {
        return directory + fileName;
    }
    return directory + "/" + fileName;
}

}  // namespace velmora
