#include "program.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <exception>
#include <optional>

#include "cli/console_report.h"
#include "cli/conversion_plan.h"
#include "cli/convert_files.h"
#include "cli/name_quoting.h"
#include "cli/options.h"
#include "cli/output_directory.h"
#include "cli/source_list.h"
#include "core/errors.h"
#include "core/file_io.h"

namespace velmora::cli {

namespace {

constexpr int kUsageStatus = 2;

// A usage error: what is wrong, then the usage line.
class UsageError : public std::exception {
  public:
    explicit UsageError(std::string message) : message_(std::move(message)) {}
    const char* what() const noexcept override { return message_.c_str(); }

  private:
    std::string message_;
};

// Standard input can be read once: as one FILE or as one list.
void CheckStandardStreams(const ConvertOptions& options) {
    const auto countDash = [](const std::vector<std::string>& names) {
        return std::count(names.begin(), names.end(), "-");
    };
    const auto fileReads = countDash(options.files);
    const auto listReads = countDash(options.fileLists);
    if (fileReads + listReads > 1) {
        throw UsageError("standard input (\"-\") can be read only once");
    }
    if (fileReads > 0 && ::isatty(STDIN_FILENO) == 1) {
        throw UsageError("-: standard input is a terminal, not a picture");
    }
    if (options.outputDirectory == "-" && ::isatty(STDOUT_FILENO) == 1 && !options.dryRun) {
        throw UsageError("-o -: standard output is a terminal; send it to a file or a pipe");
    }
}

// The names in a --files-from list, which may be a pipe (standard input, a shell's <(…)); a
// list that cannot be read is a usage error.
std::vector<std::string> ReadList(const std::string& list, char separator) {
    std::vector<uint8_t> bytes;
    try {
        bytes = ReadWholeFile(list == "-" ? "/dev/stdin" : list, TNonRegular::ReadToEnd);
    } catch (const Exception& error) {
        throw UsageError("--files-from: " + QuotedName(list) + ": " + error.what());
    }
    return SplitNames(std::string(bytes.begin(), bytes.end()), separator);
}

std::vector<PlannedFile> Plan(const ConvertOptions& options) {
    const bool toStandardOutput = options.outputDirectory == "-";
    if (!toStandardOutput) {
        if (const auto problem = OutputDirectoryProblem(options.outputDirectory)) {
            throw UsageError(*problem);
        }
    }
    CheckStandardStreams(options);
    const SourceRules rules{
        options.recursive,
        toStandardOutput ? std::nullopt : IdentityOf(options.outputDirectory),
    };
    std::vector<PlannedFile> files;
    AddFileArguments(options.files, rules, files);
    for (const std::string& list : options.fileLists) {
        AddListedNames(ReadList(list, options.listSeparator), rules, files);
    }
    PlanConversions(options.outputDirectory, files);
    if (toStandardOutput && files.size() > 1) {
        throw UsageError("-o -: standard output takes one file, but there are " +
                         std::to_string(files.size()));
    }
    return files;
}

ReportStyle StyleFor(const ConvertOptions& options) {
    ReportStyle style;
    const bool quiet = options.verbosity == Verbosity::kQuiet;
    const bool verbose = options.verbosity == Verbosity::kVerbose;
    style.progress = !quiet && IsTerminal(stderr);
    style.width = style.progress ? TerminalWidth(stderr) : 0;
    // The dry run and the size search exist for what they report.
    style.fileLines = !quiet && (verbose || options.dryRun || options.maxBytes.has_value());
    style.summary = !quiet && (verbose || style.progress || options.dryRun);
    style.dryRun = options.dryRun;
    style.resizePercent = options.resizePercent;
    return style;
}

int Usage(const std::string& message) {
    std::fprintf(stderr, "velmora-convert: %s\n%s\nTry 'velmora-convert --help' for more.\n",
                 EscapedText(message).c_str(), kUsageLine);
    return kUsageStatus;
}

}  // namespace

int RunProgram(const std::vector<std::string>& arguments) {
    const Command command = ParseCommandLine(arguments);
    switch (command.kind) {
        case CommandKind::kHelp:
            std::fputs(HelpText().c_str(), stdout);
            return 0;
        case CommandKind::kVersion:
            std::fputs(VersionText().c_str(), stdout);
            return 0;
        case CommandKind::kUsageError:
            return Usage(command.error);
        case CommandKind::kConvert:
            break;
    }
    std::vector<PlannedFile> plan;
    try {
        plan = Plan(command.options);
    } catch (const UsageError& error) {
        return Usage(error.what());
    }
    ConsoleReport report(stderr, plan.size(), StyleFor(command.options));
    return ConvertFiles(plan, command.options, report);
}

}  // namespace velmora::cli
