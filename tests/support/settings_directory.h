// Points the settings file at a test's own directory for as long as the object lives, so that
// no test reads or writes the settings beside the test program.
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

}  // namespace velmora::test
