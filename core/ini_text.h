// The classic INI layout over the raw text of a file: "[section]" lines, "key=value" lines,
// ";" comment lines. Works on GB18030 bytes: names are compared character by character,
// ASCII letters in either case. Every line that is not changed keeps its bytes.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace velmora {

// The value of the first such key in the first such section, with the blanks around it and
// one pair of enclosing quotes (" or ') removed; empty when the section or the key is missing.
std::optional<std::string_view> FindIniValue(std::string_view text, std::string_view section,
                                             std::string_view key);

// The text with the key's value replaced, or the key appended to the end of its section, or
// the section appended to the end of the text. New lines end in CR LF. A value that would
// lose blanks or quotes when read back is written inside double quotes.
std::string WithIniValue(std::string_view text, std::string_view section, std::string_view key,
                         std::string_view value);

// Whether the layout can hold these: no line breaks or NUL anywhere, no "=" in the key, no
// "]" in the section.
bool IniCanHold(std::string_view section, std::string_view key, std::string_view value);

}  // namespace velmora
