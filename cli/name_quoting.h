// File names and messages made safe to print on a terminal: a crafted name must not move the
// cursor, retitle the window, clear the screen or forge lines of its own.
#pragma once

#include <string>
#include <string_view>

namespace velmora::cli {

// The name unchanged when every character in it is printable; otherwise in the shell-escape
// quoting of coreutils: quoted pieces with each control character, each byte that is not
// UTF-8 and each invisible direction override written as $'\n' or $'\ooo', so that
// "a\nb" shows as 'a'$'\n''b' and pasting the text into a shell gives the name back.
std::string QuotedName(std::string_view name);

// The text with the same characters written as \n or \ooo, without quotes: for messages that
// embed a path (the core's "Cannot open file ..." errors).
std::string EscapedText(std::string_view text);

}  // namespace velmora::cli
