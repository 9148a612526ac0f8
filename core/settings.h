// The settings file "Config.ini" in the settings directory, and the text/number conversions
// used for its values.
#pragma once

#include <cstdint>
#include <string>

#include "settings_place.h"

namespace velmora {

inline constexpr const char* kSettingsSection = "Velmora";
inline constexpr const char* kOutPathKey = "OutPath";
inline constexpr const char* kCompressPreKey = "CompressPre";
inline constexpr const char* kResizePreKey = "ResizePre";
inline constexpr const char* kSettingsFileName = "Config.ini";

// SettingsPlaceFor(the executable's directory).
SettingsPlace CurrentSettingsPlace();
// CurrentSettingsPlace().directory, with a trailing "/".
std::string SettingsDirectory();
// Makes CurrentSettingsPlace() answer this directory (which must end in "/"), in the portable
// layout, instead; an empty text restores the executable's directory. For tests and tools only.
void OverrideSettingsDirectory(const std::string& directory);
// Makes CurrentSettingsPlace() take the program to lie in this directory (which must end in
// "/") instead of the executable's; an empty text restores it. For tests only.
void OverrideProgramDirectory(const std::string& directory);
// SettingsDirectory() + "Config.ini".
std::string SettingsFilePath();

// Leading blanks, an optional sign, then decimal digits, or hexadecimal digits after "$",
// "x", "X", "0x" or "0X"; nothing after them; a signed 32-bit value. Anything else raises
// EConvertError "'%s' is not a valid integer value".
int32_t StrToInt(const std::string& text);
// Plain decimal digits (with "-" for negatives).
std::string IntToStr(int64_t value);

}  // namespace velmora
