#include "cli/options.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace velmora::cli {
namespace {

struct GoodCase {
    std::vector<std::string> arguments;
    int compressPercent;
    int resizePercent;
    std::string outputDirectory;
    unsigned jobs;  // 0: the default
    std::vector<std::string> files;
};

TEST(ParseCommandLineTest, ReadsOptionsAndFiles) {
    const GoodCase cases[] = {
        {{"-o", "out", "a.jpg"}, 75, 100, "out", 0, {"a.jpg"}},
        {{"-c", "0", "-r", "50", "-o", "out/", "a.jpg", "b.jpg"},
         0,
         50,
         "out/",
         0,
         {"a.jpg", "b.jpg"}},
        {{"-c100", "-r0", "-oout", "-j2", "a.jpg"}, 100, 0, "out", 2, {"a.jpg"}},
        {{"a.jpg", "-o", "out", "b.jpg", "-j", "3"}, 75, 100, "out", 3, {"a.jpg", "b.jpg"}},
        {{"-c", "007", "-o", "o", "x"}, 7, 100, "o", 0, {"x"}},
        {{"-o", "o", "-o", "p", "x"}, 75, 100, "p", 0, {"x"}},
        {{"-o", "out", "--", "-c", "--help"}, 75, 100, "out", 0, {"-c", "--help"}},
        {{"-o", "out", "-"}, 75, 100, "out", 0, {"-"}},
        {{"-o", "-dir", "x", "-j", "1024"}, 75, 100, "-dir", 1024, {"x"}},
    };
    for (const GoodCase& c : cases) {
        const Command command = ParseCommandLine(c.arguments);
        ASSERT_EQ(command.kind, CommandKind::kConvert) << c.arguments[0] << ": " << command.error;
        EXPECT_EQ(command.options.compressPercent, c.compressPercent);
        EXPECT_EQ(command.options.resizePercent, c.resizePercent);
        EXPECT_EQ(command.options.outputDirectory, c.outputDirectory);
        EXPECT_EQ(command.options.jobs, c.jobs == 0 ? DefaultJobCount() : c.jobs);
        EXPECT_EQ(command.options.files, c.files);
    }
    EXPECT_GE(DefaultJobCount(), 1u);
}

struct BadCase {
    std::vector<std::string> arguments;
    std::string error;
};

TEST(ParseCommandLineTest, RefusesWrongCommandLines) {
    const BadCase cases[] = {
        {{"-c", "101", "-o", "o", "a"}, "-c: '101' is not a percent from 0 to 100"},
        {{"-c", "-5", "-o", "o", "a"}, "-c: '-5' is not a percent from 0 to 100"},
        {{"-r", "abc", "-o", "o", "a"}, "-r: 'abc' is not a percent from 0 to 100"},
        {{"-r", "", "-o", "o", "a"}, "-r: '' is not a percent from 0 to 100"},
        {{"-r", "5x", "-o", "o", "a"}, "-r: '5x' is not a percent from 0 to 100"},
        {{"-r", "99999999999", "-o", "o", "a"}, "-r: '99999999999' is not a percent from 0 to 100"},
        {{"-o", "o", "a", "-c"}, "option -c needs a value"},
        {{"a.jpg"}, "the output directory is missing (-o DIR)"},
        {{"-o", "", "a.jpg"}, "-o: the output directory is empty"},
        {{"-o", "out"}, "no files to convert"},
        {{"-j", "0", "-o", "o", "a"}, "-j: '0' is not a number of files from 1 to 1024"},
        {{"-j", "1025", "-o", "o", "a"}, "-j: '1025' is not a number of files from 1 to 1024"},
        {{"-j", "two", "-o", "o", "a"}, "-j: 'two' is not a number of files from 1 to 1024"},
        {{"-x", "-o", "o", "a"}, "unknown option '-x'"},
        {{"--jobs=2", "-o", "o", "a"}, "unknown option '--jobs=2'"},
    };
    for (const BadCase& c : cases) {
        const Command command = ParseCommandLine(c.arguments);
        EXPECT_EQ(command.kind, CommandKind::kUsageError) << c.error;
        EXPECT_EQ(command.error, c.error);
    }
}

TEST(ParseCommandLineTest, HelpAndVersionStopTheParsing) {
    EXPECT_EQ(ParseCommandLine({"--help"}).kind, CommandKind::kHelp);
    EXPECT_EQ(ParseCommandLine({"--help", "-c", "500"}).kind, CommandKind::kHelp);
    EXPECT_EQ(ParseCommandLine({"-o", "out", "--version"}).kind, CommandKind::kVersion);
    EXPECT_EQ(ParseCommandLine({"-c", "500", "--help"}).kind, CommandKind::kUsageError);
}

}  // namespace
}  // namespace velmora::cli
