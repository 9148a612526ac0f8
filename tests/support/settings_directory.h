// Points the settings file at a test's own directory for as long as the object lives, so that
// no test reads or writes the settings beside the test program; or lets the program take
// itself to lie in another directory, so that the settings go where they would go for it.
#pragma once

#include <string>

#include "core/settings.h"

namespace velmora::test {

class ScopedSettingsDirectory {
  public:
    // The directory without a trailing "/", as TempDir::Path() gives it.
    explicit ScopedSettingsDirectory(const std::string& directory) {
        OverrideSettingsDirectory(directory + "/");
    }
    ~ScopedSettingsDirectory() { OverrideSettingsDirectory(""); }
    ScopedSettingsDirectory(const ScopedSettingsDirectory&) = delete;
    ScopedSettingsDirectory& operator=(const ScopedSettingsDirectory&) = delete;
};

class ScopedProgramDirectory {
  public:
    // The directory without a trailing "/".
    explicit ScopedProgramDirectory(const std::string& directory) {
        OverrideProgramDirectory(directory + "/");
    }
    ~ScopedProgramDirectory() { OverrideProgramDirectory(""); }
    ScopedProgramDirectory(const ScopedProgramDirectory&) = delete;
    ScopedProgramDirectory& operator=(const ScopedProgramDirectory&) = delete;
};

}  // namespace velmora::test
