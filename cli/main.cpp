// velmora-convert: the conversion of the desktop program, from the command line.
#include <cstdio>
#include <string>
#include <vector>

#include "cli/console_report.h"
#include "cli/convert_files.h"
#include "cli/options.h"

using velmora::cli::CommandKind;

int main(int argc, char* argv[]) {
    const velmora::cli::Command command = velmora::cli::ParseCommandLine({argv + 1, argv + argc});
    switch (command.kind) {
        case CommandKind::kHelp:
            std::fputs(velmora::cli::HelpText().c_str(), stdout);
            return 0;
        case CommandKind::kVersion:
            std::fputs(velmora::cli::VersionText().c_str(), stdout);
            return 0;
        case CommandKind::kUsageError:
            std::fprintf(stderr, "velmora-convert: %s\n%s\n", command.error.c_str(),
                         velmora::cli::kUsageLine);
            return 2;
        case CommandKind::kConvert:
            break;
    }
    const bool terminal = velmora::cli::IsTerminal(stderr);
    velmora::cli::ConsoleReport report(stderr, command.options.files.size(), terminal,
                                       terminal ? velmora::cli::TerminalWidth(stderr) : 0);
    return velmora::cli::ConvertFiles(command.options, report);
}
