#include "cli/name_quoting.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "support/temp_dir.h"

namespace velmora::cli {
namespace {

struct Case {
    std::string name;
    std::string quoted;
    std::string escaped;
};

const Case kCases[] = {
    {"photo.jpg", "photo.jpg", "photo.jpg"},
    {"my photo's.jpg", "my photo's.jpg", "my photo's.jpg"},
    {"照片/一.JPG", "照片/一.JPG", "照片/一.JPG"},
    {"", "", ""},
    {"a\nb.jpg", "'a'$'\\n''b.jpg'", "a\\nb.jpg"},
    {"\ttab", "$'\\t''tab'", "\\ttab"},
    {"end\r", "'end'$'\\r'", "end\\r"},
    // Sets the window title, then clears the screen.
    {"x\x1b]0;owned\a\x1b[2Jy", "'x'$'\\033'']0;owned'$'\\a\\033''[2Jy'",
     "x\\033]0;owned\\a\\033[2Jy"},
    {"del\x7f", "'del'$'\\177'", "del\\177"},
    // Bytes that are not UTF-8: a lone byte, a cut sequence, an overlong "/", a surrogate.
    {"\xff.jpg", "$'\\377''.jpg'", "\\377.jpg"},
    {"a\xe7\x85", "'a'$'\\347\\205'", "a\\347\\205"},
    {"\xc0\xaf", "$'\\300\\257'", "\\300\\257"},
    {"\xed\xa0\x80", "$'\\355\\240\\200'", "\\355\\240\\200"},
    // U+009B, the one-character control sequence introducer, and U+202E, which shows the rest
    // of the line backwards.
    {"a\xc2\x9b"
     "2J",
     "'a'$'\\302\\233''2J'", "a\\302\\2332J"},
    {"gpj.\xe2\x80\xae"
     "exe",
     "'gpj.'$'\\342\\200\\256''exe'", "gpj.\\342\\200\\256exe"},
    // A quote inside a quoted name.
    {"it's\n", "'it'\\''s'$'\\n'", "it's\\n"},
};

TEST(NameQuotingTest, PrintableNamesStayAndOthersAreEscaped) {
    for (const Case& c : kCases) {
        EXPECT_EQ(QuotedName(c.name), c.quoted) << c.escaped;
        EXPECT_EQ(EscapedText(c.name), c.escaped) << c.escaped;
    }
}

// What bash makes of a quoted name is the name itself, so a name from a message can be pasted
// into a shell.
TEST(NameQuotingTest, AQuotedNameReadsBackInTheShell) {
    const test::TempDir dir;
    for (const Case& c : kCases) {
        if (QuotedName(c.name) == c.name) {
            continue;
        }
        test::WriteText(dir.File("print.sh"), "printf %s " + QuotedName(c.name) + "\n");
        FILE* shell = ::popen(("bash " + dir.File("print.sh")).c_str(), "r");
        ASSERT_NE(shell, nullptr);
        std::string read;
        char buffer[256];
        for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, shell)) > 0;) {
            read.append(buffer, n);
        }
        EXPECT_EQ(::pclose(shell), 0);
        EXPECT_EQ(read, c.name) << c.quoted;
    }
}

}  // namespace
}  // namespace velmora::cli
