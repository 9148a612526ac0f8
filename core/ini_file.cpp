#include "ini_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <optional>
#include <string_view>
#include <vector>

#include "errors.h"
#include "file_io.h"
#include "ini_text.h"
#include "text_encoding.h"

namespace velmora {

namespace {

// The longest value the reader hands out, in bytes of the file's text.
constexpr size_t kMaxValueBytes = 2047;

std::string_view AsText(const std::vector<uint8_t>& bytes) {
    return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

// A settings file is normally replaced whole, which a crash cannot leave half-written. It is
// written where it is instead when replacing it would lose what belongs to it: the other names
// of a file with hard links, or the file itself in a directory that may not be written (as
// the system's profile service, which always writes in place, would manage).
bool WritesInPlace(const std::string& file) {
    constexpr mode_t kAnyWriteBit = S_IWUSR | S_IWGRP | S_IWOTH;
    struct stat info {};
    if (::stat(file.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return false;
    }
    if (info.st_nlink > 1) {
        return true;
    }
    const std::string directory = DirectoryOf(file);
    struct stat directoryInfo {};
    return ::stat(directory.c_str(), &directoryInfo) != 0 ||
           (directoryInfo.st_mode & kAnyWriteBit) == 0 || ::access(directory.c_str(), W_OK) != 0;
}

}  // namespace

TIniFile::TIniFile(std::string path) : path_(std::move(path)) {}

std::string TIniFile::ReadSetting(const std::string& section, const std::string& key,
                                  const std::string& defaultValue) const {
    return ReadSettingValue(section, key, defaultValue).text;
}

TSettingValue TIniFile::ReadSettingValue(const std::string& section, const std::string& key,
                                         const std::string& defaultValue) const {
    std::vector<uint8_t> bytes;
    // A file that cannot be read counts as missing, like a missing one.
    try {
        bytes = ReadWholeFile(path_);
    } catch (const Exception&) {
        return {defaultValue};
    }
    const auto fileSection = Utf8ToGb18030(section);
    const auto fileKey = Utf8ToGb18030(key);
    if (!fileSection || !fileKey) {
        return {defaultValue};
    }
    const auto value = FindIniValue(AsText(bytes), *fileSection, *fileKey);
    if (!value) {
        return {defaultValue};
    }
    const std::string_view handedOut = Gb18030Prefix(*value, kMaxValueBytes);
    return {Gb18030ToUtf8(handedOut), handedOut.size() < value->size()};
}

void TIniFile::WriteSetting(const std::string& section, const std::string& key,
                            const std::string& value) {
    const auto failure = [this] { return EIniFileException(ExpandFileName(path_)); };
    const auto fileSection = Utf8ToGb18030(section);
    const auto fileKey = Utf8ToGb18030(key);
    const auto fileValue = Utf8ToGb18030(value);
    // Text that would not read back as written is refused rather than stored changed.
    if (!fileSection || !fileKey || !fileValue || !IniCanHold(*fileSection, *fileKey, *fileValue)) {
        throw failure();
    }
    // A settings file kept elsewhere behind a symbolic link stays there, and the link a link.
    const std::string file = FollowSymbolicLinks(path_);
    std::vector<uint8_t> old;
    if (FileExists(file)) {
        // Writing without the old text would lose every other setting in the file.
        try {
            old = ReadWholeFile(file);
        } catch (const Exception&) {
            throw failure();
        }
    }
    const std::string text = WithIniValue(AsText(old), *fileSection, *fileKey, *fileValue);
    const auto* bytes = reinterpret_cast<const uint8_t*>(text.data());
    try {
        if (WritesInPlace(file)) {
            WriteFileInPlace(file, bytes, text.size());
        } else {
            WriteFileReplacing(file, bytes, text.size());
        }
    } catch (const Exception&) {
        throw failure();
    }
}

}  // namespace velmora
