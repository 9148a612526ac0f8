// The names of the crash-safe writer's temporary files, and the removal of those left behind by
// writers that were killed.
#pragma once

#include <string>

namespace velmora {

// A fresh name for a temporary file of this process: hidden, holding the process id and a
// random number.
std::string NewTemporaryName();

// Removes from the directory (an open descriptor of it) the temporary files that writers of
// this program left when they were killed: names of the writer's form (also the longer form of
// earlier versions, which began with the target's name) whose process is gone, in files owned
// by this user. A temporary file of a running writer, another user's file and every other name
// stay. Done before every write: reading a directory's names costs little beside converting a
// photograph into it, and only so does a writer killed a moment ago leave nothing behind.
void RemoveStaleTemporaries(int directoryFd);

}  // namespace velmora
