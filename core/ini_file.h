// The settings accessor: one short-lived object per access to an INI file. The file is kept
// in the classic layout with CR LF line ends and GB18030 text; values go in and come out as
// UTF-8 (paths as the file system's bytes, see text_encoding.h). Every write is on disk before
// WriteSetting returns.
#pragma once

#include <string>

namespace velmora {

// A value as the reader hands it out, and whether the file holds more of it.
struct TSettingValue {
    std::string text;
    bool cut = false;
};

class TIniFile {
  public:
    // Does not touch the file.
    explicit TIniFile(std::string path);

    // The key's value; the default when the file, the section or the key is missing. A key
    // present with an empty value gives "". At most 2047 bytes (of the file's text) are
    // returned.
    std::string ReadSetting(const std::string& section, const std::string& key,
                            const std::string& defaultValue) const;
    // ReadSetting, telling a value that was cut at 2047 bytes from one that is whole: a cut
    // path names another place than the one stored.
    TSettingValue ReadSettingValue(const std::string& section, const std::string& key,
                                   const std::string& defaultValue) const;
    // Creates the file, section or key as needed, or replaces the value; other sections,
    // keys and lines stay as they were. Raises EIniFileException "Unable to write to %s".
    void WriteSetting(const std::string& section, const std::string& key, const std::string& value);

    const std::string& FileName() const { return path_; }

  private:
    std::string path_;
};

}  // namespace velmora
