// Written here rather than taken from a library: coreutils' quoting lives in gnulib, which is
// copied into programs as source, not installed as a library.
#include "name_quoting.h"

#include <cstdint>

namespace velmora::cli {

namespace {

// The length of the valid UTF-8 sequence at the start of text (0 when it is not one) and the
// code point it encodes.
size_t DecodeUtf8(std::string_view text, char32_t& codePoint) {
    const auto byte = [&](size_t i) { return static_cast<uint8_t>(text[i]); };
    const uint8_t lead = byte(0);
    size_t length = 0;
    char32_t lowest = 0;
    if (lead < 0x80) {
        codePoint = lead;
        return 1;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, codePoint = lead & 0x1F, lowest = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, codePoint = lead & 0x0F, lowest = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, codePoint = lead & 0x07, lowest = 0x10000;
    } else {
        return 0;
    }
    if (text.size() < length) {
        return 0;
    }
    for (size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xC0) != 0x80) {
            return 0;
        }
        codePoint = (codePoint << 6) | (byte(i) & 0x3F);
    }
    const bool surrogate = codePoint >= 0xD800 && codePoint <= 0xDFFF;
    if (codePoint < lowest || surrogate || codePoint > 0x10FFFF) {
        return 0;
    }
    return length;
}

// Characters a terminal acts on instead of showing, and those that silently reorder or break
// the text around them.
bool IsUnsafe(char32_t c) {
    return c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0x200E || c == 0x200F ||
           (c >= 0x2028 && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069);
}

void AppendEscapedByte(std::string& out, uint8_t byte) {
    switch (byte) {
        case '\a':
            out += "\\a";
            return;
        case '\b':
            out += "\\b";
            return;
        case '\t':
            out += "\\t";
            return;
        case '\n':
            out += "\\n";
            return;
        case '\v':
            out += "\\v";
            return;
        case '\f':
            out += "\\f";
            return;
        case '\r':
            out += "\\r";
            return;
        default:
            break;
    }
    out += '\\';
    out += static_cast<char>('0' + (byte >> 6));
    out += static_cast<char>('0' + ((byte >> 3) & 7));
    out += static_cast<char>('0' + (byte & 7));
}

// Splits text into runs of safe and unsafe characters and hands each run to `run`.
template <typename Run>
void ForEachRun(std::string_view text, Run&& run) {
    size_t start = 0;
    bool startSafe = true;
    size_t i = 0;
    while (i < text.size()) {
        char32_t c = 0;
        const size_t length = DecodeUtf8(text.substr(i), c);
        const bool safe = length > 0 && !IsUnsafe(c);
        if (safe != startSafe && i > start) {
            run(text.substr(start, i - start), startSafe);
            start = i;
        }
        startSafe = safe;
        i += length > 0 ? length : 1;
    }
    if (i > start) {
        run(text.substr(start, i - start), startSafe);
    }
}

void AppendEscapedRun(std::string& out, std::string_view run) {
    for (const char c : run) {
        AppendEscapedByte(out, static_cast<uint8_t>(c));
    }
}

bool NeedsEscaping(std::string_view text) {
    bool unsafe = false;
    ForEachRun(text, [&](std::string_view, bool safe) { unsafe = unsafe || !safe; });
    return unsafe;
}

}  // namespace

std::string QuotedName(std::string_view name) {
    if (!NeedsEscaping(name)) {
        return std::string(name);
    }
    std::string out;
    ForEachRun(name, [&](std::string_view run, bool safe) {
        if (!safe) {
            out += "$'";
            AppendEscapedRun(out, run);
            out += '\'';
            return;
        }
        out += '\'';
        for (const char c : run) {
            // A quote cannot stand inside quotes: close them, escape it, open them again.
            out += c == '\'' ? std::string_view("'\\''") : std::string_view(&c, 1);
        }
        out += '\'';
    });
    return out;
}

std::string EscapedText(std::string_view text) {
    std::string out;
    ForEachRun(text, [&](std::string_view run, bool safe) {
        if (safe) {
            out += run;
        } else {
            AppendEscapedRun(out, run);
        }
    });
    return out;
}

}  // namespace velmora::cli
