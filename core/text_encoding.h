// Conversion between UTF-8, the core's text, and GB18030, the text of the settings file.
//
// Paths are the file system's bytes and need not be UTF-8 (a folder with a GBK name from an
// unpacked archive). Each byte that is no part of a valid UTF-8 character is stored as the
// private-use character U+EF80 + (byte - 0x80) and read back as that byte, so such a path
// comes back exactly as it was written.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace velmora {

// Never fails: a byte that starts no valid GB18030 character becomes U+FFFD, and the
// characters U+EF80..U+EFFF become the bytes they stand for.
std::string Gb18030ToUtf8(std::string_view text);
// Empty when the text holds one of the characters U+EF80..U+EFFF itself, since it would read
// back as a byte; every other text has a GB18030 form.
std::optional<std::string> Utf8ToGb18030(std::string_view text);

// Bytes of the GB18030 character that starts at pos (pos < text.size()); a byte that starts
// no complete character counts as a character of its own.
size_t Gb18030CharLength(std::string_view text, size_t pos);
// The longest start of the text that has at most maxBytes bytes and ends between characters.
std::string_view Gb18030Prefix(std::string_view text, size_t maxBytes);

}  // namespace velmora
