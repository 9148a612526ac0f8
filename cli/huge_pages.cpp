#include "huge_pages.h"

#include <unistd.h>

#include <cstdlib>

namespace velmora::cli {

namespace {

constexpr const char* kVariable = "GLIBC_TUNABLES";
constexpr const char* kHugePages = "glibc.malloc.hugetlb=1";
constexpr const char* kHugePagesName = "glibc.malloc.hugetlb=";

}  // namespace

std::optional<std::string> TunablesWithHugePages(const char* current) {
    const std::string tunables = current ? current : "";
    if (tunables.empty()) {
        return kHugePages;
    }
    if (tunables.find(kHugePagesName) != std::string::npos) {
        return std::nullopt;
    }
    return tunables + ":" + kHugePages;
}

void RestartWithHugePages(char* argv[]) {
    const std::optional<std::string> tunables = TunablesWithHugePages(std::getenv(kVariable));
    if (!tunables || ::setenv(kVariable, tunables->c_str(), 1) != 0) {
        return;
    }
    ::execv("/proc/self/exe", argv);
    // Not restarted: the setting stays for nothing but this process's children.
}

}  // namespace velmora::cli
