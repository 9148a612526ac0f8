#include "text_encoding.h"

#include <iconv.h>

#include <cerrno>
#include <memory>
#include <new>
#include <system_error>
#include <type_traits>

namespace velmora {

namespace {

struct IconvCloser {
    void operator()(iconv_t handle) const { iconv_close(handle); }
};
using IconvHandle = std::unique_ptr<std::remove_pointer_t<iconv_t>, IconvCloser>;

IconvHandle OpenConverter(const char* to, const char* from) {
    const iconv_t handle = iconv_open(to, from);
    // (iconv_t)-1 is how iconv_open reports a failure.
    if (handle == reinterpret_cast<iconv_t>(-1)) {  // NOLINT(performance-no-int-to-ptr)
        throw std::system_error(errno, std::generic_category(), "iconv_open");
    }
    return IconvHandle(handle);
}

// Converts as much as possible; returns how many input bytes were consumed, appending the
// converted text to output. Stops at the first byte sequence the converter refuses.
size_t ConvertPrefix(iconv_t handle, std::string_view input, std::string& output) {
    char* in = const_cast<char*>(input.data());
    size_t inLeft = input.size();
    char buffer[1024];
    while (inLeft > 0) {
        char* out = buffer;
        size_t outLeft = sizeof buffer;
        const size_t result = iconv(handle, &in, &inLeft, &out, &outLeft);
        output.append(buffer, static_cast<size_t>(out - buffer));
        if (result == static_cast<size_t>(-1) && errno != E2BIG) {
            break;
        }
    }
    return input.size() - inLeft;
}

bool InRange(unsigned char byte, unsigned char low, unsigned char high) {
    return byte >= low && byte <= high;
}

// U+EF80..U+EFFF in UTF-8 are EE BE 80..EE BE BF and EE BF 80..EE BF BF.
constexpr unsigned char kEscapeLead = 0xEE;

bool IsEscapeAt(std::string_view text, size_t pos) {
    return pos + 2 < text.size() && static_cast<unsigned char>(text[pos]) == kEscapeLead &&
           InRange(static_cast<unsigned char>(text[pos + 1]), 0xBE, 0xBF) &&
           InRange(static_cast<unsigned char>(text[pos + 2]), 0x80, 0xBF);
}

bool HoldsEscape(std::string_view text) {
    for (size_t pos = text.find(static_cast<char>(kEscapeLead)); pos != std::string_view::npos;
         pos = text.find(static_cast<char>(kEscapeLead), pos + 1)) {
        if (IsEscapeAt(text, pos)) {
            return true;
        }
    }
    return false;
}

// The UTF-8 form of the character that stands for a byte of 0x80 or more (ASCII bytes are
// always valid UTF-8).
std::string EscapeOf(unsigned char byte) {
    const unsigned offset = byte - 0x80u;
    return {static_cast<char>(kEscapeLead), static_cast<char>(0xBE + (offset >> 6)),
            static_cast<char>(0x80 + (offset & 0x3F))};
}

char ByteOfEscapeAt(std::string_view text, size_t pos) {
    const unsigned high = static_cast<unsigned char>(text[pos + 1]) - 0xBEu;
    const unsigned low = static_cast<unsigned char>(text[pos + 2]) - 0x80u;
    return static_cast<char>(0x80 + (high << 6) + low);
}

std::string UnescapeBytes(const std::string& text) {
    std::string result;
    result.reserve(text.size());
    for (size_t pos = 0; pos < text.size();) {
        if (IsEscapeAt(text, pos)) {
            result += ByteOfEscapeAt(text, pos);
            pos += 3;
        } else {
            result += text[pos++];
        }
    }
    return result;
}

}  // namespace

std::string Gb18030ToUtf8(std::string_view text) {
    const IconvHandle converter = OpenConverter("UTF-8", "GB18030");
    std::string result;
    result.reserve(text.size());
    while (!text.empty()) {
        const size_t consumed = ConvertPrefix(converter.get(), text, result);
        text.remove_prefix(consumed);
        if (!text.empty()) {
            result += "\xEF\xBF\xBD";
            text.remove_prefix(1);
        }
    }
    return UnescapeBytes(result);
}

std::optional<std::string> Utf8ToGb18030(std::string_view text) {
    const IconvHandle converter = OpenConverter("GB18030", "UTF-8");
    std::string result;
    result.reserve(text.size());
    while (!text.empty()) {
        const size_t consumed = ConvertPrefix(converter.get(), text, result);
        if (HoldsEscape(text.substr(0, consumed))) {
            return std::nullopt;
        }
        text.remove_prefix(consumed);
        if (!text.empty()) {
            ConvertPrefix(converter.get(), EscapeOf(static_cast<unsigned char>(text[0])), result);
            text.remove_prefix(1);
        }
    }
    return result;
}

size_t Gb18030CharLength(std::string_view text, size_t pos) {
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[pos + i]); };
    const size_t left = text.size() - pos;
    if (!InRange(byte(0), 0x81, 0xFE) || left < 2) {
        return 1;
    }
    if (InRange(byte(1), 0x40, 0x7E) || InRange(byte(1), 0x80, 0xFE)) {
        return 2;
    }
    if (left >= 4 && InRange(byte(1), 0x30, 0x39) && InRange(byte(2), 0x81, 0xFE) &&
        InRange(byte(3), 0x30, 0x39)) {
        return 4;
    }
    return 1;
}

std::string_view Gb18030Prefix(std::string_view text, size_t maxBytes) {
    size_t end = 0;
    while (end < text.size()) {
        const size_t next = end + Gb18030CharLength(text, end);
        if (next > maxBytes) {
            break;
        }
        end = next;
    }
    return text.substr(0, end);
}

}  // namespace velmora
