// Conversion between UTF-8, the core's text, and GB18030, the text of the settings file.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace velmora {

// Never fails: a byte that starts no valid GB18030 character becomes U+FFFD.
std::string Gb18030ToUtf8(std::string_view text);
// Empty when the text is not valid UTF-8; every valid UTF-8 text has a GB18030 form.
std::optional<std::string> Utf8ToGb18030(std::string_view text);

// Bytes of the GB18030 character that starts at pos (pos < text.size()); a byte that starts
// no complete character counts as a character of its own.
size_t Gb18030CharLength(std::string_view text, size_t pos);
// The longest start of the text that has at most maxBytes bytes and ends between characters.
std::string_view Gb18030Prefix(std::string_view text, size_t maxBytes);

}  // namespace velmora
