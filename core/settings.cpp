#include "settings.h"

#include <unistd.h>

#include <limits>
#include <mutex>
#include <optional>
#include <vector>

#include "errors.h"

namespace velmora {

namespace {

std::mutex overrideMutex;
std::string overrideSettingsDirectory;
std::string overrideProgramDirectory;

std::string ExecutableDirectory() {
    std::vector<char> buffer(4096);
    for (;;) {
        const ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (length < 0) {
            return "./";
        }
        if (static_cast<size_t>(length) < buffer.size()) {
            const std::string path(buffer.data(), static_cast<size_t>(length));
            return path.substr(0, path.rfind('/') + 1);
        }
        buffer.resize(buffer.size() * 2);
    }
}

int HexDigitValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

// Digits in the given base up to the end of the text, with a value of at most limit.
std::optional<uint64_t> ParseMagnitude(const std::string& digits, int base, uint64_t limit) {
    if (digits.empty()) {
        return std::nullopt;
    }
    uint64_t magnitude = 0;
    for (const char c : digits) {
        const int value = HexDigitValue(c);
        if (value < 0 || value >= base) {
            return std::nullopt;
        }
        magnitude = magnitude * static_cast<uint64_t>(base) + static_cast<uint64_t>(value);
        if (magnitude > limit) {
            return std::nullopt;
        }
    }
    return magnitude;
}

}  // namespace

SettingsPlace CurrentSettingsPlace() {
    std::string programDirectory;
    {
        const std::lock_guard lock(overrideMutex);
        if (!overrideSettingsDirectory.empty()) {
            return {overrideSettingsDirectory, true};
        }
        programDirectory = overrideProgramDirectory;
    }
    return SettingsPlaceFor(programDirectory.empty() ? ExecutableDirectory() : programDirectory);
}

std::string SettingsDirectory() {
    return CurrentSettingsPlace().directory;
}

void OverrideSettingsDirectory(const std::string& directory) {
    const std::lock_guard lock(overrideMutex);
    overrideSettingsDirectory = directory;
}

void OverrideProgramDirectory(const std::string& directory) {
    const std::lock_guard lock(overrideMutex);
    overrideProgramDirectory = directory;
}

std::string SettingsFilePath() {
    return SettingsDirectory() + kSettingsFileName;
}

int32_t StrToInt(const std::string& text) {
    size_t pos = text.find_first_not_of(' ');
    if (pos == std::string::npos) {
        throw EConvertError::NotAnInteger(text);
    }
    bool negative = false;
    if (text[pos] == '+' || text[pos] == '-') {
        negative = text[pos] == '-';
        ++pos;
    }
    int base = 10;
    if (text.compare(pos, 1, "$") == 0 || text.compare(pos, 1, "x") == 0 ||
        text.compare(pos, 1, "X") == 0) {
        base = 16;
        pos += 1;
    } else if (text.compare(pos, 2, "0x") == 0 || text.compare(pos, 2, "0X") == 0) {
        base = 16;
        pos += 2;
    }
    // The magnitude of the most negative value is one more than that of the largest.
    const uint64_t limit =
        static_cast<uint64_t>(std::numeric_limits<int32_t>::max()) + (negative ? 1 : 0);
    const auto magnitude = ParseMagnitude(text.substr(pos), base, limit);
    if (!magnitude) {
        throw EConvertError::NotAnInteger(text);
    }
    const auto value = static_cast<int64_t>(*magnitude);
    return static_cast<int32_t>(negative ? -value : value);
}

std::string IntToStr(int64_t value) {
    return std::to_string(value);
}

}  // namespace velmora
