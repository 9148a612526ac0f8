#include "cli/options.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace velmora::cli {
namespace {

// Runs the parser and expects a command to convert.
ConvertOptions Parsed(const std::vector<std::string>& arguments) {
    const Command command = ParseCommandLine(arguments);
    EXPECT_EQ(command.kind, CommandKind::kConvert) << arguments[0] << ": " << command.error;
    return command.options;
}

struct PercentCase {
    std::vector<std::string> arguments;
    int compressPercent;
    bool compressGiven;
    int resizePercent;
    std::string outputDirectory;
    unsigned jobs;  // 0: the default
    std::vector<std::string> files;
};

TEST(ParseCommandLineTest, ReadsPercentsOutputJobsAndFilesInShortAndLongForms) {
    const PercentCase cases[] = {
        {{"-o", "out", "a.jpg"}, 75, false, 100, "out", 0, {"a.jpg"}},
        {{"-c", "0", "-r", "50", "-o", "out/", "a.jpg", "b.jpg"},
         0,
         true,
         50,
         "out/",
         0,
         {"a.jpg", "b.jpg"}},
        {{"-c100", "-r0", "-oout", "-j2", "a.jpg"}, 100, true, 0, "out", 2, {"a.jpg"}},
        {{"--compress=30", "--resize", "40", "--output=o", "--jobs", "3", "x"},
         30,
         true,
         40,
         "o",
         3,
         {"x"}},
        {{"--comp=5", "--out", "o", "x"}, 5, true, 100, "o", 0, {"x"}},  // unique abbreviations
        {{"a.jpg", "-o", "out", "b.jpg", "-j", "3"}, 75, false, 100, "out", 3, {"a.jpg", "b.jpg"}},
        {{"-c", "007", "-o", "o", "x"}, 7, true, 100, "o", 0, {"x"}},
        {{"-o", "o", "-o", "p", "x"}, 75, false, 100, "p", 0, {"x"}},
        {{"-o", "out", "--", "-c", "--help"}, 75, false, 100, "out", 0, {"-c", "--help"}},
        {{"-o", "out", "-"}, 75, false, 100, "out", 0, {"-"}},
        {{"-o", "-", "-"}, 75, false, 100, "-", 0, {"-"}},
        {{"-o", "-dir", "x", "-j", "1024"}, 75, false, 100, "-dir", 1024, {"x"}},
    };
    for (const PercentCase& c : cases) {
        const ConvertOptions options = Parsed(c.arguments);
        EXPECT_EQ(options.compressPercent, c.compressPercent) << c.arguments[0];
        EXPECT_EQ(options.compressGiven, c.compressGiven) << c.arguments[0];
        EXPECT_EQ(options.resizePercent, c.resizePercent) << c.arguments[0];
        EXPECT_EQ(options.outputDirectory, c.outputDirectory) << c.arguments[0];
        EXPECT_EQ(options.jobs, c.jobs == 0 ? DefaultJobCount() : c.jobs) << c.arguments[0];
        EXPECT_EQ(options.files, c.files) << c.arguments[0];
    }
    EXPECT_GE(DefaultJobCount(), 1u);
}

// Each switch in its short and its long form, alone and in a cluster of letters.
TEST(ParseCommandLineTest, ReadsEverySwitch) {
    struct Case {
        std::vector<std::string> switches;
        bool (*isSet)(const ConvertOptions&);
    };
    const Case cases[] = {
        {{"-R", "--recursive"}, [](const ConvertOptions& o) { return o.recursive; }},
        {{"-0", "--null"}, [](const ConvertOptions& o) { return o.listSeparator == '\0'; }},
        {{"-n", "--no-clobber"}, [](const ConvertOptions& o) { return o.noClobber; }},
        {{"-q", "--quiet"},
         [](const ConvertOptions& o) { return o.verbosity == Verbosity::kQuiet; }},
        {{"-v", "--verbose"},
         [](const ConvertOptions& o) { return o.verbosity == Verbosity::kVerbose; }},
        {{"--keep-dates"}, [](const ConvertOptions& o) { return o.keepDates; }},
        {{"--only-smaller"}, [](const ConvertOptions& o) { return o.onlySmaller; }},
        {{"--dry-run"}, [](const ConvertOptions& o) { return o.dryRun; }},
        {{"--keep-metadata"},
         [](const ConvertOptions& o) { return o.metadata == TMetadataKept::kAll; }},
    };
    const ConvertOptions defaults = Parsed({"-o", "o", "x"});
    for (const Case& c : cases) {
        EXPECT_FALSE(c.isSet(defaults)) << c.switches[0];
        for (const std::string& spelling : c.switches) {
            EXPECT_TRUE(c.isSet(Parsed({spelling, "-o", "o", "x"}))) << spelling;
        }
    }
    const ConvertOptions cluster = Parsed({"-Rn0vo", "out", "x"});
    EXPECT_TRUE(cluster.recursive && cluster.noClobber && cluster.listSeparator == '\0');
    EXPECT_EQ(cluster.verbosity, Verbosity::kVerbose);
    EXPECT_EQ(cluster.outputDirectory, "out");
    // The last of -q and -v counts.
    EXPECT_EQ(Parsed({"-v", "-q", "-o", "o", "x"}).verbosity, Verbosity::kQuiet);
}

TEST(ParseCommandLineTest, ReadsListsAndTheSizeBound) {
    const ConvertOptions lists =
        Parsed({"--files-from", "a.txt", "-o", "o", "--files-from=-", "--max-size", "300"});
    EXPECT_EQ(lists.fileLists, (std::vector<std::string>{"a.txt", "-"}));
    EXPECT_TRUE(lists.files.empty()) << "a list is enough to convert";
    EXPECT_EQ(lists.maxBytes, 300u * 1024);
    EXPECT_EQ(Parsed({"--max-size=1", "-o", "o", "x"}).maxBytes, 1024u);
    EXPECT_EQ(Parsed({"-o", "o", "x"}).maxBytes, std::nullopt);
}

struct BadCase {
    std::vector<std::string> arguments;
    std::string error;
};

TEST(ParseCommandLineTest, RefusesWrongCommandLines) {
    const BadCase cases[] = {
        {{"-c", "101", "-o", "o", "a"}, "-c: '101' is not a percent from 0 to 100"},
        {{"--compress=101", "-o", "o", "a"}, "--compress: '101' is not a percent from 0 to 100"},
        {{"-c", "-5", "-o", "o", "a"}, "-c: '-5' is not a percent from 0 to 100"},
        {{"-r", "abc", "-o", "o", "a"}, "-r: 'abc' is not a percent from 0 to 100"},
        {{"-r", "", "-o", "o", "a"}, "-r: '' is not a percent from 0 to 100"},
        {{"-r", "5x", "-o", "o", "a"}, "-r: '5x' is not a percent from 0 to 100"},
        {{"-r", "99999999999", "-o", "o", "a"}, "-r: '99999999999' is not a percent from 0 to 100"},
        {{"-o", "o", "a", "-c"}, "option -c needs a value"},
        {{"-o", "o", "a", "-Rc"}, "option -c needs a value"},
        {{"-o", "o", "a", "--max-size"}, "option --max-size needs a value"},
        {{"a.jpg"}, "the output directory is missing (-o DIR)"},
        {{"-o", "", "a.jpg"}, "-o: the output directory is empty"},
        {{"-o", "out"}, "no files to convert"},
        {{"-j", "0", "-o", "o", "a"}, "-j: '0' is not a number of files from 1 to 1024"},
        {{"--jobs=1025", "-o", "o", "a"}, "--jobs: '1025' is not a number of files from 1 to 1024"},
        {{"-j", "two", "-o", "o", "a"}, "-j: 'two' is not a number of files from 1 to 1024"},
        {{"--max-size", "0", "-o", "o", "a"},
         "--max-size: '0' is not a size in KB from 1 to 1073741824"},
        {{"--max-size", "1073741825", "-o", "o", "a"},
         "--max-size: '1073741825' is not a size in KB from 1 to 1073741824"},
        {{"--max-size", "1.5", "-o", "o", "a"},
         "--max-size: '1.5' is not a size in KB from 1 to 1073741824"},
        {{"-x", "-o", "o", "a"}, "unknown option '-x'"},
        {{"-Rx", "-o", "o", "a"}, "unknown option '-x'"},
        {{"--recursive", "-Rx", "-o", "o", "a"}, "unknown option '-x'"},
        {{"--bogus", "-o", "o", "a"}, "unknown option '--bogus'"},
        {{"--dry-run=yes", "-o", "o", "a"}, "unknown option '--dry-run=yes'"},
        {{"--keep", "-o", "o", "a"}, "ambiguous option '--keep'"},
    };
    for (const BadCase& c : cases) {
        const Command command = ParseCommandLine(c.arguments);
        EXPECT_EQ(command.kind, CommandKind::kUsageError) << c.error;
        EXPECT_EQ(command.error, c.error);
    }
}

TEST(ParseCommandLineTest, HelpAndVersionStopTheParsing) {
    EXPECT_EQ(ParseCommandLine({"--help"}).kind, CommandKind::kHelp);
    EXPECT_EQ(ParseCommandLine({"-h"}).kind, CommandKind::kHelp);
    EXPECT_EQ(ParseCommandLine({"--help", "-c", "500"}).kind, CommandKind::kHelp);
    EXPECT_EQ(ParseCommandLine({"-o", "out", "--version"}).kind, CommandKind::kVersion);
    EXPECT_EQ(ParseCommandLine({"-V"}).kind, CommandKind::kVersion);
    EXPECT_EQ(ParseCommandLine({"-c", "500", "--help"}).kind, CommandKind::kUsageError);
    EXPECT_EQ(ParseCommandLine({"-o", "o", "--", "--help"}).kind, CommandKind::kConvert);
}

// Every option is documented in --help with its short and long form.
TEST(ParseCommandLineTest, HelpNamesEveryOption) {
    const std::string help = HelpText();
    const char* const spellings[] = {
        "-c, --compress=PERCENT", "-r, --resize=PERCENT", "--max-size=KB",     "--keep-metadata",
        "-o, --output=DIR",       "-R, --recursive",      "--files-from=LIST", "-0, --null",
        "-n, --no-clobber",       "--only-smaller",       "--keep-dates",      "--dry-run",
        "-j, --jobs=N",           "-q, --quiet",          "-v, --verbose",     "-h, --help",
        "-V, --version",
    };
    for (const char* spelling : spellings) {
        EXPECT_NE(help.find(spelling), std::string::npos) << spelling;
        const std::string longForm = std::string(spelling).substr(std::string(spelling).find("--"));
        const std::string name = longForm.substr(0, longForm.find('='));
        EXPECT_EQ(ParseCommandLine({name + (longForm.find('=') == std::string::npos ? "" : "=1"),
                                    "-o", "o", "x"})
                      .error.find("unknown"),
                  std::string::npos)
            << name;
    }
    EXPECT_EQ(help.rfind("Usage: velmora-convert ", 0), 0u);
    for (size_t start = 0, end = 0; start < help.size(); start = end + 1) {
        end = help.find('\n', start);
        EXPECT_LE(end - start, 80u) << help.substr(start, end - start);
    }
}

}  // namespace
}  // namespace velmora::cli
