// Fuzz target: the settings reader and writer on a fuzzed "Config.ini".
// The input up to its first NUL byte is the file; what follows it (if anything) is a value to
// write. Reading never fails; a write either stores the value so that it reads back unchanged
// and leaves every other setting as it was, or fails with EIniFileException and leaves the
// file untouched. The values read are also put through the integer conversion of start-up.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/errors.h"
#include "core/ini_file.h"
#include "core/settings.h"
#include "fuzz_support.h"
#include "support/temp_dir.h"

namespace {

using velmora::TIniFile;
using velmora::fuzz::Check;

const char* const kOtherSection = "其他";  // a section name outside ASCII
const std::vector<std::pair<std::string, std::string>> kSettings = {
    {velmora::kSettingsSection, velmora::kOutPathKey},
    {velmora::kSettingsSection, velmora::kCompressPreKey},
    {velmora::kSettingsSection, velmora::kResizePreKey},
    {kOtherSection, "键"},
};
const std::string kMissing = "\x01missing";

std::string iniPath;

std::vector<std::string> ReadAll() {
    std::vector<std::string> values;
    const TIniFile ini(iniPath);
    for (const auto& [section, key] : kSettings) {
        values.push_back(ini.ReadSetting(section, key, kMissing));
    }
    return values;
}

void ConvertToInteger(const std::string& text) {
    try {
        velmora::StrToInt(text);
    } catch (const velmora::EConvertError&) {
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    iniPath = velmora::fuzz::MakeWorkDirectory() + "/" + velmora::kSettingsFileName;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    const size_t nul = input.find('\0');
    const std::string file = input.substr(0, nul);
    const std::string value = nul == std::string::npos ? "42" : input.substr(nul + 1);
    // Which setting to write: the value's length picks it, so every key gets written.
    const size_t target = value.size() % kSettings.size();
    const std::vector<uint8_t> fileBytes(file.begin(), file.end());
    velmora::test::WriteBytes(iniPath, fileBytes);

    const std::vector<std::string> before = ReadAll();
    for (const std::string& text : before) {
        ConvertToInteger(text);
    }

    TIniFile ini(iniPath);
    const auto& [section, key] = kSettings[target];
    try {
        ini.WriteSetting(section, key, value);
    } catch (const velmora::EIniFileException&) {
        Check(velmora::test::ReadBytes(iniPath) == fileBytes);
        return 0;
    }
    std::vector<std::string> after = ReadAll();
    // Values up to the reader's limit read back exactly.
    if (value.size() <= 1000) {
        Check(after[target] == value);
    }
    after[target] = before[target];
    Check(after == before);
    return 0;
}
