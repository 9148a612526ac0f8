#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "cli/huge_pages.h"

namespace velmora::cli {
namespace {

TEST(TunablesWithHugePages, AddsTheTunableOnceAndKeepsTheUsersOwn) {
    struct Case {
        const char* current;
        std::optional<std::string> expected;
    };
    const Case cases[] = {
        {nullptr, "glibc.malloc.hugetlb=1"},
        {"", "glibc.malloc.hugetlb=1"},
        {"glibc.malloc.check=3", "glibc.malloc.check=3:glibc.malloc.hugetlb=1"},
        // Set before: by the start before this one, or by the user, who may want it off.
        {"glibc.malloc.hugetlb=1", std::nullopt},
        {"glibc.malloc.hugetlb=0", std::nullopt},
        {"glibc.malloc.check=3:glibc.malloc.hugetlb=2", std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(TunablesWithHugePages(c.current), c.expected)
            << (c.current ? c.current : "(unset)");
    }
}

}  // namespace
}  // namespace velmora::cli
