// The settings file "Config.ini" beside the executable, and the text/number conversions
// used for its values.
#pragma once

#include <cstdint>
#include <string>

namespace velmora {

inline constexpr const char* kSettingsSection = "Velmora";
inline constexpr const char* kOutPathKey = "OutPath";
inline constexpr const char* kCompressPreKey = "CompressPre";
inline constexpr const char* kResizePreKey = "ResizePre";
inline constexpr const char* kSettingsFileName = "Config.ini";

// The executable's directory with a trailing "/".
std::string SettingsDirectory();
// Makes SettingsDirectory() answer this directory (which must end in "/") instead; an empty
// text restores the executable's directory. For tests and tools only.
void OverrideSettingsDirectory(const std::string& directory);
// SettingsDirectory() + "Config.ini".
std::string SettingsFilePath();

// Leading blanks, an optional sign, then decimal digits, or hexadecimal digits after "$",
// "x", "X", "0x" or "0X"; nothing after them; a signed 32-bit value. Anything else raises
// EConvertError "'%s' is not a valid integer value".
int32_t StrToInt(const std::string& text);
// Plain decimal digits (with "-" for negatives).
std::string IntToStr(int64_t value);

}  // namespace velmora
