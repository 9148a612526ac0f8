// Where "Config.ini" lives. A program run from a folder its user may write (the build tree, a
// copy unpacked into the home folder) keeps its settings beside itself, as it always has: that
// is the portable layout. An installed program, whose folder the user cannot write, keeps them
// in the user's configuration folder instead.
#pragma once

#include <string>

namespace velmora {

struct SettingsPlace {
    std::string directory;  // ends in "/"
    bool besideProgram;     // the portable layout
};

// The settings place of a program whose executable lies in programDirectory (ending in "/"):
// that directory when the user may write there or may write the "Config.ini" already in it,
// else UserConfigDirectory().
SettingsPlace SettingsPlaceFor(const std::string& programDirectory);

// $XDG_CONFIG_HOME/velmora/, or ~/.config/velmora/ when XDG_CONFIG_HOME is unset, empty or not
// an absolute path (the base directory rules of freedesktop.org).
std::string UserConfigDirectory();

// Whether the current user may create files in the directory. A directory without any write
// bit counts as read-only even for the superuser, whom the kernel would let through, the same
// rule as for every file the program writes.
bool UserMayWrite(const std::string& directory);

// Creates the directory and every missing parent, none inside a directory that UserMayWrite
// refuses. A failure is not reported here: the first write into the directory reports it.
void CreateDirectories(const std::string& directory);

}  // namespace velmora
