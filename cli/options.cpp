#include "options.h"

#include <algorithm>
#include <optional>
#include <string_view>
#include <thread>

#include "core/conversion_budget.h"

namespace velmora::cli {

namespace {

// Plain decimal digits (leading zeros allowed) with a value of at most limit.
std::optional<unsigned> ParseBounded(std::string_view text, unsigned limit) {
    if (text.empty()) {
        return std::nullopt;
    }
    unsigned value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        value = value * 10 + static_cast<unsigned>(c - '0');
        if (value > limit) {
            return std::nullopt;
        }
    }
    return value;
}

std::string Quoted(std::string_view text) {
    std::string quoted(1, '\'');
    quoted += text;
    quoted += '\'';
    return quoted;
}

class Parser {
  public:
    explicit Parser(const std::vector<std::string>& arguments) : arguments_(arguments) {}

    Command Run() {
        command_.options.jobs = DefaultJobCount();
        bool outputGiven = false;
        bool optionsEnded = false;
        while (next_ < arguments_.size() && command_.kind == CommandKind::kConvert) {
            const std::string& argument = arguments_[next_++];
            if (optionsEnded || argument.size() < 2 || argument[0] != '-') {
                command_.options.files.push_back(argument);
            } else if (argument == "--") {
                optionsEnded = true;
            } else if (argument == "--help") {
                command_.kind = CommandKind::kHelp;
            } else if (argument == "--version") {
                command_.kind = CommandKind::kVersion;
            } else if (argument[1] == 'o') {
                if (const auto value = Value(argument)) {
                    command_.options.outputDirectory = *value;
                    outputGiven = true;
                }
            } else {
                ShortOption(argument);
            }
        }
        if (command_.kind != CommandKind::kConvert) {
            return command_;
        }
        if (!outputGiven) {
            Fail("the output directory is missing (-o DIR)");
        } else if (command_.options.outputDirectory.empty()) {
            // An empty DIR would put every output at the file system's root.
            Fail("-o: the output directory is empty");
        } else if (command_.options.files.empty()) {
            Fail("no files to convert");
        }
        return command_;
    }

  private:
    void ShortOption(const std::string& argument) {
        const char letter = argument[1];
        if (letter != 'c' && letter != 'r' && letter != 'j') {
            Fail("unknown option " + Quoted(argument));
            return;
        }
        const auto value = Value(argument);
        if (!value) {
            return;
        }
        const std::string name = std::string("-") + letter;
        if (letter == 'j') {
            const auto jobs = ParseBounded(*value, kMaxJobs);
            if (!jobs || *jobs == 0) {
                Fail(name + ": " + Quoted(*value) + " is not a number of files from 1 to " +
                     std::to_string(kMaxJobs));
                return;
            }
            command_.options.jobs = *jobs;
            return;
        }
        const auto percent = ParseBounded(*value, 100);
        if (!percent) {
            Fail(name + ": " + Quoted(*value) + " is not a percent from 0 to 100");
            return;
        }
        (letter == 'c' ? command_.options.compressPercent : command_.options.resizePercent) =
            static_cast<int>(*percent);
    }

    // The option's value: the rest of the argument ("-c50") or the next argument ("-c 50").
    std::optional<std::string> Value(const std::string& argument) {
        if (argument.size() > 2) {
            return argument.substr(2);
        }
        if (next_ < arguments_.size()) {
            return arguments_[next_++];
        }
        Fail("option " + argument + " needs a value");
        return std::nullopt;
    }

    void Fail(const std::string& error) {
        command_.kind = CommandKind::kUsageError;
        command_.error = error;
    }

    const std::vector<std::string>& arguments_;
    size_t next_ = 0;
    Command command_;
};

}  // namespace

Command ParseCommandLine(const std::vector<std::string>& arguments) {
    return Parser(arguments).Run();
}

unsigned DefaultJobCount() {
    const unsigned processors = std::thread::hardware_concurrency();
    return std::min(processors > 0 ? processors : 1, ConversionsThatFitInMemory());
}

std::string HelpText() {
    return std::string(kUsageLine) +
           "\n"
           "Converts each JPEG FILE into DIR under the same file name.\n"
           "\n"
           "  -c PERCENT  compression percent 0..100; the JPEG quality is 100 - PERCENT\n"
           "              (default 75)\n"
           "  -r PERCENT  resize percent 0..100; below 100 each side is scaled to PERCENT\n"
           "              of its length and encoded at quality 90 (default 100: same size)\n"
           "  -o DIR      output directory (required)\n"
           "  -j N        convert N files at once (default: the number of processors, fewer\n"
           "              when the memory available would not hold that many large files)\n"
           "  --help      show this text\n"
           "  --version   show the version\n"
           "\n"
           "Exit status: 0 when every file was converted, 1 when a file failed (the others\n"
           "are still converted), 2 for a wrong command line.\n";
}

std::string VersionText() {
    return "velmora-convert " VELMORA_VERSION "\n";
}

}  // namespace velmora::cli
