#include "options.h"

#include <getopt.h>

#include <algorithm>
#include <string_view>
#include <thread>

#include "core/conversion_budget.h"

namespace velmora::cli {

namespace {

// Values of the options that have no short form.
enum LongOnly : int {
    kFilesFrom = 256,
    kKeepDates,
    kOnlySmaller,
    kMaxSize,
    kDryRun,
    kKeepMetadata,
};

// A leading ":" makes getopt_long report a missing value apart from an unknown option, and
// keeps it from printing messages of its own.
constexpr const char* kShortOptions = ":c:r:o:j:R0nqvhV";

constexpr option kLongOptions[] = {
    {"compress", required_argument, nullptr, 'c'},
    {"resize", required_argument, nullptr, 'r'},
    {"output", required_argument, nullptr, 'o'},
    {"jobs", required_argument, nullptr, 'j'},
    {"recursive", no_argument, nullptr, 'R'},
    {"files-from", required_argument, nullptr, kFilesFrom},
    {"null", no_argument, nullptr, '0'},
    {"keep-dates", no_argument, nullptr, kKeepDates},
    {"only-smaller", no_argument, nullptr, kOnlySmaller},
    {"max-size", required_argument, nullptr, kMaxSize},
    {"no-clobber", no_argument, nullptr, 'n'},
    {"dry-run", no_argument, nullptr, kDryRun},
    {"keep-metadata", no_argument, nullptr, kKeepMetadata},
    {"quiet", no_argument, nullptr, 'q'},
    {"verbose", no_argument, nullptr, 'v'},
    {"help", no_argument, nullptr, 'h'},
    {"version", no_argument, nullptr, 'V'},
    {nullptr, 0, nullptr, 0},
};

// Plain decimal digits (leading zeros allowed) with a value of at most limit.
std::optional<uint64_t> ParseBounded(std::string_view text, uint64_t limit) {
    if (text.empty()) {
        return std::nullopt;
    }
    uint64_t value = 0;
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

// The argument vector that getopt_long wants: writable, ending in a null pointer. getopt_long
// permutes the pointers, never the strings.
class ArgumentVector {
  public:
    explicit ArgumentVector(const std::vector<std::string>& arguments) : strings_(arguments) {
        strings_.insert(strings_.begin(), "velmora-convert");
        for (std::string& argument : strings_) {
            pointers_.push_back(argument.data());
        }
        pointers_.push_back(nullptr);
    }

    int Count() const { return static_cast<int>(strings_.size()); }
    char** Get() { return pointers_.data(); }
    const char* At(int i) const { return pointers_[static_cast<size_t>(i)]; }

  private:
    std::vector<std::string> strings_;
    std::vector<char*> pointers_;
};

class Parser {
  public:
    explicit Parser(const std::vector<std::string>& arguments) : argv_(arguments) {}

    Command Run() {
        command_.options.jobs = DefaultJobCount();
        // 0 starts a new scan, also after an earlier one in this process.
        optind = 0;
        while (command_.kind == CommandKind::kConvert) {
            longIndex_ = -1;
            const int c =
                getopt_long(argv_.Count(), argv_.Get(), kShortOptions, kLongOptions, &longIndex_);
            if (c == -1) {
                break;
            }
            Option(c);
        }
        if (command_.kind != CommandKind::kConvert) {
            return command_;
        }
        for (int i = optind; i < argv_.Count(); ++i) {
            command_.options.files.push_back(argv_.At(i));
        }
        CheckWhole();
        return command_;
    }

  private:
    void Option(int c) {
        ConvertOptions& o = command_.options;
        switch (c) {
            case 'c':
                o.compressGiven = true;
                Percent(c, o.compressPercent);
                return;
            case 'r':
                Percent(c, o.resizePercent);
                return;
            case 'o':
                o.outputDirectory = optarg;
                outputGiven_ = true;
                return;
            case 'j':
                Jobs(c);
                return;
            case 'R':
                o.recursive = true;
                return;
            case kFilesFrom:
                o.fileLists.emplace_back(optarg);
                return;
            case '0':
                o.listSeparator = '\0';
                return;
            case kKeepDates:
                o.keepDates = true;
                return;
            case kOnlySmaller:
                o.onlySmaller = true;
                return;
            case kMaxSize:
                MaxSize(c);
                return;
            case 'n':
                o.noClobber = true;
                return;
            case kDryRun:
                o.dryRun = true;
                return;
            case kKeepMetadata:
                o.metadata = TMetadataKept::kAll;
                return;
            case 'q':
                o.verbosity = Verbosity::kQuiet;
                return;
            case 'v':
                o.verbosity = Verbosity::kVerbose;
                return;
            case 'h':
                command_.kind = CommandKind::kHelp;
                return;
            case 'V':
                command_.kind = CommandKind::kVersion;
                return;
            case ':':
                // Only the last argument can lack its value, so it is the one getopt_long
                // has just passed.
                Fail("option " + WrongOption() + " needs a value");
                return;
            default:
                Fail(std::string(IsAmbiguous(WrongOption()) ? "ambiguous" : "unknown") +
                     " option " + Quoted(WrongOption()));
                return;
        }
    }

    // The name of an option that was given a value, for its messages: "-c" or "--compress".
    std::string Name(int c) const {
        if (longIndex_ >= 0) {
            return std::string("--") + kLongOptions[longIndex_].name;
        }
        return std::string("-") + static_cast<char>(c);
    }

    // The option that getopt_long refused, as the user spelled it. A long option always ends
    // its argument, so getopt_long has moved past it; a letter may sit inside a cluster such
    // as "-Rx", where only optopt names it. optopt is 0 for an unknown long option and a long
    // option's value when it was given a value it does not take.
    std::string WrongOption() const {
        const bool shortLetter = optopt > 0 && optopt < 256 && !IsShortOption(optopt);
        if (optopt == 0 || !shortLetter) {
            std::string spelled = argv_.At(optind - 1);
            if (spelled.rfind("--", 0) == 0) {
                return spelled;
            }
        }
        return std::string("-") + static_cast<char>(optopt);
    }

    // Whether a long option abbreviates more than one ("--keep").
    static bool IsAmbiguous(const std::string& spelled) {
        if (spelled.rfind("--", 0) != 0) {
            return false;
        }
        const std::string_view prefix = std::string_view(spelled).substr(2, spelled.find('=') - 2);
        int matches = 0;
        for (const option& o : kLongOptions) {
            matches += o.name && std::string_view(o.name).starts_with(prefix) ? 1 : 0;
        }
        return matches > 1;
    }

    static bool IsShortOption(int c) {
        return std::string_view(kShortOptions).find(static_cast<char>(c)) != std::string_view::npos;
    }

    void Percent(int c, int& percent) {
        const auto value = ParseBounded(optarg, 100);
        if (!value) {
            Fail(Name(c) + ": " + Quoted(optarg) + " is not a percent from 0 to 100");
            return;
        }
        percent = static_cast<int>(*value);
    }

    void Jobs(int c) {
        const auto jobs = ParseBounded(optarg, kMaxJobs);
        if (!jobs || *jobs == 0) {
            Fail(Name(c) + ": " + Quoted(optarg) + " is not a number of files from 1 to " +
                 std::to_string(kMaxJobs));
            return;
        }
        command_.options.jobs = static_cast<unsigned>(*jobs);
    }

    void MaxSize(int c) {
        const auto kilobytes = ParseBounded(optarg, kMaxSizeLimitKb);
        if (!kilobytes || *kilobytes == 0) {
            Fail(Name(c) + ": " + Quoted(optarg) + " is not a size in KB from 1 to " +
                 std::to_string(kMaxSizeLimitKb));
            return;
        }
        command_.options.maxBytes = *kilobytes * 1024;
    }

    void CheckWhole() {
        const ConvertOptions& o = command_.options;
        if (!outputGiven_) {
            Fail("the output directory is missing (-o DIR)");
        } else if (o.outputDirectory.empty()) {
            // An empty DIR would put every output at the file system's root.
            Fail("-o: the output directory is empty");
        } else if (o.files.empty() && o.fileLists.empty()) {
            Fail("no files to convert");
        }
    }

    void Fail(const std::string& error) {
        command_.kind = CommandKind::kUsageError;
        command_.error = error;
    }

    ArgumentVector argv_;
    Command command_;
    int longIndex_ = -1;
    bool outputGiven_ = false;
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
    return std::string(kUsageLine) + "\n" +
           R"(Converts each JPEG FILE into DIR as the Velmora batch does: decoded, encoded
again at quality 100 - PERCENT (-c) and, below -r 100, shrunk to PERCENT (-r)
of each side and encoded at quality 90. FILE "-" is standard input; its output
is DIR/stdin.jpg.

Conversion:
  -c, --compress=PERCENT  compression percent 0..100; the JPEG quality is
                          100 - PERCENT (default 75)
  -r, --resize=PERCENT    resize percent 0..100 of each side, encoded at
                          quality 90 (default 100: the same size)
      --max-size=KB       the highest quality (at most 100 - PERCENT when -c
                          is given) whose output fits in KB x 1024 bytes,
                          found by bisection; a file that does not fit even
                          at quality 1 fails
      --keep-metadata     also carry all EXIF, XMP, IPTC and comments (by
                          default only the orientation and an RGB colour
                          profile)

Input and output:
  -o, --output=DIR        output directory (required, existing, writable);
                          "-" writes the one result to standard output
  -R, --recursive         a folder FILE gives its .jpg files (any letter
                          case) and those of all its sub-folders, hidden
                          entries skipped, symlinked folders not followed;
                          each goes to its path relative to the folder under
                          DIR (folders are made as needed)
      --files-from=LIST   read more FILE names from LIST, one a line ("-" is
                          standard input); with -R each keeps its relative
                          path under DIR
  -0, --null              names in LIST end with a NUL byte (find -print0)
  -n, --no-clobber        never replace an existing output file (skipped)
      --only-smaller      write no output that is not smaller than its
                          source (the source is kept: a photo converted in
                          place stays as it is)
      --keep-dates        give each output its source's access and
                          modification times
      --dry-run           convert in memory and report; write nothing
  -j, --jobs=N            convert N files at once (default: the number of
                          processors, fewer when the memory available would
                          not hold that many of the largest conversions);
                          the outputs are the same for every N

Messages (on standard error):
  -q, --quiet             print nothing but errors
  -v, --verbose           a line for each file (sizes, change, quality) and
                          a summary; on a terminal a progress line and the
                          summary are shown anyway
  -h, --help              show this help and exit
  -V, --version           show the version and exit

Examples:
  velmora-convert -c 30 -r 50 -o ~/small ~/photos/*.jpg
  velmora-convert -R -n --keep-dates -o /backup/small ~/photos
  velmora-convert --max-size 500 --keep-metadata -o ~/mail IMG_0001.JPG
  velmora-convert --only-smaller -o ~/photos ~/photos/*.jpg

  curl -s https://example.org/a.jpg | velmora-convert -c 50 -o - - > a.jpg

  find ~/photos -name '*.jpg' -mtime -7 -print0 |
      velmora-convert -0 --files-from - -v --dry-run -o ~/small

  cd ~/photos && find . -iname '*.jpg' -print0 |
      parallel -0 --pipe --recend '\0' -N 500 -j 1 --sshlogin :,host1,host2 \
      'cd ~/photos && velmora-convert -R -q -0 --files-from - -o ~/small'

Exit status: 0 when no file failed (skipped and kept files are no failures),
1 when any file failed (the others are still converted), 2 for a wrong
command line or output directory (found before anything is converted).
)";
}

std::string VersionText() {
    return "velmora-convert " VELMORA_VERSION "\n";
}

}  // namespace velmora::cli
