#include "ini_text.h"

#include <initializer_list>
#include <vector>

#include "text_encoding.h"

namespace velmora {

namespace {

// One line of the text: [begin, contentEnd) without its line break, next = start of the
// following line.
struct Line {
    size_t begin;
    size_t contentEnd;
    size_t next;
};

std::vector<Line> SplitLines(std::string_view text) {
    std::vector<Line> lines;
    size_t begin = 0;
    while (begin < text.size()) {
        const size_t newline = text.find('\n', begin);
        const size_t next = newline == std::string_view::npos ? text.size() : newline + 1;
        size_t contentEnd = newline == std::string_view::npos ? text.size() : newline;
        if (contentEnd > begin && text[contentEnd - 1] == '\r') {
            --contentEnd;
        }
        lines.push_back({begin, contentEnd, next});
        begin = next;
    }
    return lines;
}

std::string Concat(std::initializer_list<std::string_view> parts) {
    std::string result;
    for (const std::string_view part : parts) {
        result += part;
    }
    return result;
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

bool IsQuote(char c) {
    return c == '"' || c == '\'';
}

// Blanks and quotes never occur inside a GB18030 character, so bytewise trimming is safe.
std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsBlank(s.front())) {
        s.remove_prefix(1);
    }
    while (!s.empty() && IsBlank(s.back())) {
        s.remove_suffix(1);
    }
    return s;
}

char AsciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// A trail byte may look like an ASCII letter, so only one-byte characters are folded.
bool NamesEqual(std::string_view a, std::string_view b) {
    size_t i = 0;
    size_t j = 0;
    while (i < a.size() && j < b.size()) {
        const size_t lengthA = Gb18030CharLength(a, i);
        const size_t lengthB = Gb18030CharLength(b, j);
        if (lengthA != lengthB) {
            return false;
        }
        if (lengthA == 1 ? AsciiLower(a[i]) != AsciiLower(b[j])
                         : a.substr(i, lengthA) != b.substr(j, lengthB)) {
            return false;
        }
        i += lengthA;
        j += lengthB;
    }
    return i == a.size() && j == b.size();
}

// "]" can be the trail byte of a two-byte character, so the search steps by characters.
size_t FindCharacter(std::string_view text, char c, size_t from = 0) {
    for (size_t i = from; i < text.size(); i += Gb18030CharLength(text, i)) {
        if (text[i] == c) {
            return i;
        }
    }
    return std::string_view::npos;
}

std::string_view Content(std::string_view text, const Line& line) {
    return text.substr(line.begin, line.contentEnd - line.begin);
}

std::optional<std::string_view> SectionName(std::string_view content) {
    const std::string_view trimmed = Trim(content);
    if (trimmed.empty() || trimmed.front() != '[') {
        return std::nullopt;
    }
    const size_t close = FindCharacter(trimmed, ']', 1);
    if (close == std::string_view::npos) {
        return std::nullopt;
    }
    return Trim(trimmed.substr(1, close - 1));
}

// "=" never occurs inside a GB18030 character.
struct KeyLine {
    std::string_view key;
    size_t valueOffset;  // within the line's content, after "=" and the blanks that follow
};

std::optional<KeyLine> ParseKeyLine(std::string_view content) {
    const std::string_view trimmed = Trim(content);
    if (trimmed.empty() || trimmed.front() == ';' || trimmed.front() == '[') {
        return std::nullopt;
    }
    const size_t equals = content.find('=');
    if (equals == std::string_view::npos) {
        return std::nullopt;
    }
    size_t valueOffset = equals + 1;
    while (valueOffset < content.size() && IsBlank(content[valueOffset])) {
        ++valueOffset;
    }
    return KeyLine{Trim(content.substr(0, equals)), valueOffset};
}

std::string_view Unquote(std::string_view value) {
    value = Trim(value);
    if (value.size() >= 2 && IsQuote(value.front()) && value.front() == value.back()) {
        return value.substr(1, value.size() - 2);
    }
    return value;
}

std::string Quoted(std::string_view value) {
    const bool losesBlanks = !value.empty() && (IsBlank(value.front()) || IsBlank(value.back()));
    const bool losesQuotes =
        value.size() >= 2 && IsQuote(value.front()) && value.front() == value.back();
    if (losesBlanks || losesQuotes) {
        return Concat({"\"", value, "\""});
    }
    return std::string(value);
}

// The lines of the first matching section: [first, last) indexes into lines, first being
// the header.
struct SectionSpan {
    size_t first;
    size_t last;
};

std::optional<SectionSpan> FindSection(std::string_view text, const std::vector<Line>& lines,
                                       std::string_view section) {
    for (size_t i = 0; i < lines.size(); ++i) {
        const auto name = SectionName(Content(text, lines[i]));
        if (!name || !NamesEqual(*name, section)) {
            continue;
        }
        size_t last = i + 1;
        while (last < lines.size() && !SectionName(Content(text, lines[last]))) {
            ++last;
        }
        return SectionSpan{i, last};
    }
    return std::nullopt;
}

struct FoundKey {
    const Line* line;
    KeyLine parsed;
};

std::optional<FoundKey> FindKey(std::string_view text, const std::vector<Line>& lines,
                                SectionSpan span, std::string_view key) {
    for (size_t i = span.first + 1; i < span.last; ++i) {
        const auto parsed = ParseKeyLine(Content(text, lines[i]));
        if (parsed && NamesEqual(parsed->key, key)) {
            return FoundKey{&lines[i], *parsed};
        }
    }
    return std::nullopt;
}

// A line of our own goes after text that may lack its final line break.
std::string Joined(std::string_view before, std::string_view added, std::string_view after) {
    const bool needsBreak = !before.empty() && before.back() != '\n';
    return Concat({before, needsBreak ? "\r\n" : "", added, after});
}

}  // namespace

std::optional<std::string_view> FindIniValue(std::string_view text, std::string_view section,
                                             std::string_view key) {
    const std::vector<Line> lines = SplitLines(text);
    const auto span = FindSection(text, lines, section);
    if (!span) {
        return std::nullopt;
    }
    const auto found = FindKey(text, lines, *span, key);
    if (!found) {
        return std::nullopt;
    }
    return Unquote(Content(text, *found->line).substr(found->parsed.valueOffset));
}

std::string WithIniValue(std::string_view text, std::string_view section, std::string_view key,
                         std::string_view value) {
    const std::string keyLine = Concat({key, "=", Quoted(value), "\r\n"});
    const std::vector<Line> lines = SplitLines(text);
    const auto span = FindSection(text, lines, section);
    if (!span) {
        return Joined(text, Concat({"[", section, "]\r\n", keyLine}), {});
    }
    if (const auto found = FindKey(text, lines, *span, key)) {
        const size_t valueBegin = found->line->begin + found->parsed.valueOffset;
        return Concat(
            {text.substr(0, valueBegin), Quoted(value), text.substr(found->line->contentEnd)});
    }
    // After the section's last non-blank line, so blank lines before the next section stay
    // between the sections.
    size_t lastUsed = span->first;
    for (size_t i = span->first + 1; i < span->last; ++i) {
        if (!Trim(Content(text, lines[i])).empty()) {
            lastUsed = i;
        }
    }
    const size_t insertAt = lines[lastUsed].next;
    return Joined(text.substr(0, insertAt), keyLine, text.substr(insertAt));
}

bool IniCanHold(std::string_view section, std::string_view key, std::string_view value) {
    const auto holdsLineBreak = [](std::string_view s) {
        return s.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
    };
    return !holdsLineBreak(section) && !holdsLineBreak(key) && !holdsLineBreak(value) &&
           key.find('=') == std::string_view::npos &&
           FindCharacter(section, ']') == std::string_view::npos;
}

}  // namespace velmora
