#include "core/file_names.h"

#include <gtest/gtest.h>

#include <string>

namespace velmora {
namespace {

TEST(HasJpgExtension, TheLastExtensionIsJpgInAnyAsciiLetterCase) {
    const struct {
        std::string name;
        bool jpeg;
    } cases[] = {
        {"a.jpg", true},           {"b.JPG", true},
        {"c.jPg", true},           {".jpg", true},
        {"dir.x/photo.Jpg", true}, {"photo.jpg.jpg", true},
        {"\xff\xfe.JPG", true},    {"a.jpeg", false},
        {"a.jpg.png", false},      {"jpg", false},
        {"a.jpg ", false},         {"x.jpg/", false},
        {"a.ｊｐｇ", false},       {"", false},
        {"a.jp", false},           {"a.j\xc3\xa9g", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(HasJpgExtension(c.name), c.jpeg) << c.name;
    }
}

}  // namespace
}  // namespace velmora
