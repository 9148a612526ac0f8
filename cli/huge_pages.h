// Transparent huge pages for the C library's large allocations, above all libjpeg's
// whole-picture coefficient buffers of progressive pictures: filling them page by page
// otherwise costs tens of thousands of page faults per photograph. The C library reads its
// tunables only when the process starts, so the program starts itself again with them set.
#pragma once

#include <optional>
#include <string>

namespace velmora::cli {

// The GLIBC_TUNABLES value with huge pages for malloc added to `current` (the variable's
// value, nullptr when unset); nothing when it names that tunable already (set by the user, or
// by the start before this one).
std::optional<std::string> TunablesWithHugePages(const char* current);

// Executes the program again with the tunable set, unless it is set already; returns when it
// is, or when the program cannot be started again (it then runs without).
void RestartWithHugePages(char* argv[]);

}  // namespace velmora::cli
