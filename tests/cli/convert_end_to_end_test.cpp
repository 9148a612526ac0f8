// Runs the real velmora-convert program on small generated JPEG files.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "core/compress_file.h"
#include "core/errors.h"
#include "core/jpeg_image.h"
#include "support/jpeg_fixture.h"
#include "support/temp_dir.h"

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define VELMORA_SANITIZED 1
#endif

namespace velmora {
namespace {

namespace fs = std::filesystem;
using velmora::test::EntriesOf;
using velmora::test::ReadBytes;
using velmora::test::ReadText;
using velmora::test::TempDir;

struct RunResult {
    int exitStatus = -1;
    std::string out;
    std::string err;
};

struct RunSetup {
    // Standard input comes from this file (else from /dev/null).
    std::string input{};
    // The working directory of the program.
    std::string directory{};
    // A bound on the program's address space, in bytes.
    std::optional<rlim_t> addressSpace{};
};

class ConvertProgramTest : public ::testing::Test {
  protected:
    // Runs velmora-convert with the arguments, its standard streams going to files.
    RunResult Run(const std::vector<std::string>& arguments, const RunSetup& setup = {}) {
        std::vector<std::string> argv{VELMORA_CONVERT_PATH};
        argv.insert(argv.end(), arguments.begin(), arguments.end());
        std::vector<char*> pointers;
        pointers.reserve(argv.size() + 1);
        for (std::string& argument : argv) {
            pointers.push_back(argument.data());
        }
        pointers.push_back(nullptr);
        const std::string input = setup.input.empty() ? "/dev/null" : setup.input;
        const std::string outPath = streams_.File("stdout");
        const std::string errPath = streams_.File("stderr");

        const pid_t pid = ::fork();
        if (pid == 0) {
            // Only async-signal-safe calls from here on.
            const int in = ::open(input.c_str(), O_RDONLY);
            const int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            const int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            if (in < 0 || out < 0 || err < 0 || ::dup2(in, 0) < 0 || ::dup2(out, 1) < 0 ||
                ::dup2(err, 2) < 0) {
                ::_exit(126);
            }
            if (!setup.directory.empty() && ::chdir(setup.directory.c_str()) != 0) {
                ::_exit(126);
            }
            if (setup.addressSpace) {
                const rlimit limit{*setup.addressSpace, *setup.addressSpace};
                ::setrlimit(RLIMIT_AS, &limit);
            }
            ::execv(pointers[0], pointers.data());
            ::_exit(127);
        }
        RunResult result;
        int status = 0;
        while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
        result.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        result.out = ReadText(outPath);
        result.err = ReadText(errPath);
        return result;
    }

    // A small JPEG file; the seed makes each one different.
    std::string MakeJpeg(const std::string& name, unsigned seed, int width = 40, int height = 30,
                         int quality = 90, bool progressive = false) {
        std::string path = files_.File(name);
        fs::create_directories(fs::path(path).parent_path());
        velmora::test::WriteBytes(
            path, velmora::test::EncodeJpeg(velmora::test::MakePattern(width, height, 3, seed),
                                            {.quality = quality, .progressive = progressive}));
        return path;
    }

    std::string MakeOutputDirectory(const std::string& name) {
        std::string path = files_.File(name);
        fs::create_directories(path);
        return path;
    }

    // What the core makes of the file at these percents.
    std::vector<uint8_t> Expected(const std::string& source, int compress, int resize) {
        return CompressBytes(ReadBytes(source), {CompressPercent(compress), ResizePercent(resize)});
    }

    // Every file under the folder, as paths relative to it, sorted.
    static std::vector<std::string> FilesUnder(const std::string& folder) {
        std::vector<std::string> files;
        for (const auto& entry : fs::recursive_directory_iterator(folder)) {
            if (!entry.is_directory()) {
                files.push_back(fs::relative(entry.path(), folder).string());
            }
        }
        std::sort(files.begin(), files.end());
        return files;
    }

    static std::vector<std::string> LinesOf(const std::string& text) {
        std::vector<std::string> lines;
        for (size_t start = 0; start < text.size();) {
            const size_t end = text.find('\n', start);
            lines.push_back(text.substr(start, end - start));
            start = end == std::string::npos ? text.size() : end + 1;
        }
        return lines;
    }

    TempDir files_;
    TempDir streams_;
};

TEST_F(ConvertProgramTest, ConvertsEveryFileWithTheGivenPercents) {
    const std::string a = MakeJpeg("a.jpg", 1);
    const std::string b = MakeJpeg("b.jpg", 2);
    const std::string out = MakeOutputDirectory("out");

    const RunResult result = Run({"-c", "25", "-r", "50", "-o", out, a, b});
    EXPECT_EQ(result.exitStatus, 0);
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(ReadBytes(out + "/a.jpg"), Expected(a, 25, 50));
    EXPECT_EQ(ReadBytes(out + "/b.jpg"), Expected(b, 25, 50));
    TJPEGImage converted;
    converted.LoadPictureFile(out + "/a.jpg");
    EXPECT_EQ(converted.Width(), 20);
    EXPECT_EQ(converted.Height(), 15);

    EXPECT_EQ(Run({"--compress=30", "--resize", "70", "--output", out, a}).exitStatus, 0);
    EXPECT_EQ(ReadBytes(out + "/a.jpg"), Expected(a, 30, 70));
}

TEST_F(ConvertProgramTest, DefaultsAreCompression75AndFullSize) {
    const std::string a = MakeJpeg("a.jpg", 1);
    const std::string out = MakeOutputDirectory("out");
    EXPECT_EQ(Run({"-o", out + "/", a}).exitStatus, 0);
    EXPECT_EQ(ReadBytes(out + "/a.jpg"), Expected(a, 75, 100));
}

TEST_F(ConvertProgramTest, AFailingFileIsReportedAndTheOthersStillConverted) {
    const std::string a = MakeJpeg("a.jpg", 1);
    const std::string missing = files_.File("missing.jpg");
    const std::string b = MakeJpeg("b.jpg", 2);
    const std::string out = MakeOutputDirectory("out");

    const RunResult result = Run({"-o", out, a, missing, b});
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_EQ(result.err,
              "velmora-convert: " + missing + ": " + EFOpenError(missing, ENOENT).what() + "\n");
    EXPECT_TRUE(fs::exists(out + "/a.jpg"));
    EXPECT_TRUE(fs::exists(out + "/b.jpg"));
    EXPECT_FALSE(fs::exists(out + "/missing.jpg"));
}

TEST_F(ConvertProgramTest, RepeatedOutputNamesAreRefusedNotOverwritten) {
    const std::string first = MakeJpeg("x/a.jpg", 1);
    const std::string second = MakeJpeg("y/a.jpg", 2);
    const std::string out = MakeOutputDirectory("out");

    const RunResult result = Run({"-j", "2", "-o", out, first, second});
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_EQ(result.err, "velmora-convert: " + second + ": not converted, same output file as " +
                              first + "\n");
    EXPECT_EQ(ReadBytes(out + "/a.jpg"), Expected(first, 75, 100));
}

// A tree as a camera import leaves it: nested folders, names in every letter case, files
// that are no pictures, hidden folders and files, a symlinked folder, and the output
// directory of an earlier run inside it.
class RecursiveTreeTest : public ConvertProgramTest {
  protected:
    void SetUp() override {
        int seed = 1;
        for (const char* name : {"a.jpg", "B.JPG", "2023/c.Jpg", "2023/june/d.jpg",
                                 "2023/june/e.jpg", ".cache/thumb.jpg", "2023/.f.jpg"}) {
            MakeJpeg("tree/" + std::string(name), static_cast<unsigned>(seed), 24 + 8 * seed, 20);
            ++seed;
        }
        test::WriteText(files_.File("tree/notes.txt"), "not a picture");
        test::WriteText(files_.File("tree/g.jpeg"), "the browser does not list .jpeg either");
        MakeJpeg("elsewhere/linked.jpg", 20);
        fs::create_directory_symlink(files_.File("elsewhere"), files_.File("tree/link"));
        MakeJpeg("tree/small/earlier-output.jpg", 21);
    }

    const std::vector<std::string> kConverted = {"2023/c.Jpg", "2023/june/d.jpg", "2023/june/e.jpg",
                                                 "B.JPG", "a.jpg"};
};

TEST_F(RecursiveTreeTest, ConvertsTheTreeIntoTheSameRelativePaths) {
    const std::string out = files_.File("tree/small");
    const RunResult result = Run({"-R", "-c", "40", "-r", "80", "-o", out, files_.File("tree")});
    EXPECT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_EQ(result.err, "");
    std::vector<std::string> expected = kConverted;
    expected.push_back("earlier-output.jpg");
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(FilesUnder(out), expected) << "the output folder inside the tree is not walked";
    for (const std::string& name : kConverted) {
        EXPECT_EQ(ReadBytes(fs::path(out) / name), Expected(files_.File("tree/" + name), 40, 80))
            << name;
    }

    // Without -R the folder fails on its own; the other files are converted.
    const std::string flat = MakeOutputDirectory("flat");
    const RunResult plain = Run({"-o", flat, files_.File("tree"), files_.File("tree/a.jpg")});
    EXPECT_EQ(plain.exitStatus, 1);
    EXPECT_EQ(plain.err, "velmora-convert: " + files_.File("tree") +
                             ": not converted, a folder (-R converts the .jpg files in it)\n");
    EXPECT_EQ(FilesUnder(flat), std::vector<std::string>{"a.jpg"});
}

// find … -print0 | velmora-convert -R -0 --files-from - gives the same tree as -R itself, on
// one thread or several.
TEST_F(RecursiveTreeTest, AFileListFromFindGivesTheSameTreeWhateverTheJobs) {
    const std::string walked = MakeOutputDirectory("walked");
    ASSERT_EQ(Run({"-R", "-j", "1", "-o", walked, files_.File("tree")}).exitStatus, 0);

    std::string list;
    for (const std::string& name : FilesUnder(walked)) {
        list += "./" + name + '\0';
    }
    test::WriteText(files_.File("list"), list);
    for (const char* jobs : {"1", "3"}) {
        const std::string listed = MakeOutputDirectory(std::string("listed") + jobs);
        const RunResult result =
            Run({"-R", "-0", "--files-from", "-", "-j", jobs, "-o", listed},
                {.input = files_.File("list"), .directory = files_.File("tree")});
        EXPECT_EQ(result.exitStatus, 0) << result.err;
        EXPECT_EQ(FilesUnder(listed), FilesUnder(walked));
        for (const std::string& name : FilesUnder(walked)) {
            EXPECT_EQ(ReadBytes(fs::path(listed) / name), ReadBytes(fs::path(walked) / name))
                << name;
        }
    }

    // Without -R the listed names go into DIR by their file names: one line each.
    test::WriteText(files_.File("lines"), "a.jpg\n2023/june/d.jpg\n\n");
    const std::string flat = MakeOutputDirectory("flat");
    EXPECT_EQ(
        Run({"--files-from", files_.File("lines"), "-o", flat}, {.directory = files_.File("tree")})
            .exitStatus,
        0);
    EXPECT_EQ(FilesUnder(flat), (std::vector<std::string>{"a.jpg", "d.jpg"}));
}

TEST_F(ConvertProgramTest, ParallelRunsMatchASingleThreadedRun) {
    std::vector<std::string> files;
    files.reserve(7);
    for (int i = 0; i < 7; ++i) {
        files.push_back(
            MakeJpeg("in/p" + std::to_string(i) + ".jpg", unsigned(i + 1), 48 + 8 * i, 40));
    }
    files.insert(files.begin() + 2, files_.File("in/missing.jpg"));
    files.push_back(files[0]);  // a repeated output name

    RunResult results[2];
    const std::string outputs[2] = {MakeOutputDirectory("one"), MakeOutputDirectory("three")};
    const char* const jobs[2] = {"1", "3"};
    for (int run = 0; run < 2; ++run) {
        std::vector<std::string> arguments{"-c", "40",      "-r", "70",
                                           "-j", jobs[run], "-o", outputs[run]};
        arguments.insert(arguments.end(), files.begin(), files.end());
        results[run] = Run(arguments);
    }
    EXPECT_EQ(results[0].exitStatus, 1);
    EXPECT_EQ(results[1].exitStatus, 1);
    EXPECT_EQ(results[0].err, results[1].err);
    for (unsigned i = 0; i < 7; ++i) {
        const std::string name = "/p" + std::to_string(i) + ".jpg";
        EXPECT_EQ(ReadBytes(outputs[0] + name), ReadBytes(outputs[1] + name)) << name;
        EXPECT_EQ(ReadBytes(outputs[0] + name), Expected(files[i < 2 ? i : i + 1], 40, 70));
    }
    EXPECT_EQ(EntriesOf(outputs[0]), EntriesOf(outputs[1]));
}

// One file at a time, a progressive file at full size lets the next one begin while its
// encoder makes its passes: the outputs and the messages are those of files converted alone,
// in order, whatever fails between them.
TEST_F(ConvertProgramTest, OneAtATimeFilesBegunEarlyConvertAsAlone) {
    std::vector<std::string> files;
    files.reserve(6);
    for (int i = 0; i < 5; ++i) {
        files.push_back(MakeJpeg("in/p" + std::to_string(i) + ".jpg", unsigned(i + 1), 320 + 16 * i,
                                 240, 90, i != 3));
    }
    const std::string missing = files_.File("in/missing.jpg");
    files.insert(files.begin() + 2, missing);
    const std::string out = MakeOutputDirectory("out");
    std::vector<std::string> arguments{"-c", "30", "-j", "1", "-o", out};
    arguments.insert(arguments.end(), files.begin(), files.end());

    const RunResult result = Run(arguments);
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_EQ(result.err,
              "velmora-convert: " + missing + ": " + EFOpenError(missing, ENOENT).what() + "\n");
    for (const std::string& file : files) {
        if (file != missing) {
            EXPECT_EQ(ReadBytes(out + "/" + fs::path(file).filename().string()),
                      Expected(file, 30, 100))
                << file;
        }
    }
}

// A source that is the output of the file before it (here through a link that leads there) is
// read only once that output is written, as one file after another reads it.
TEST_F(ConvertProgramTest, ASourceThatIsTheOutputBeforeItIsReadOnceWritten) {
    const std::string first = MakeJpeg("in/a.jpg", 1, 1200, 900, 90, true);
    const std::string out = MakeOutputDirectory("out");
    const std::string link = files_.File("in/b.jpg");
    fs::create_symlink(out + "/a.jpg", link);

    const RunResult result = Run({"-c", "30", "-j", "1", "-o", out, first, link});
    EXPECT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_EQ(ReadBytes(out + "/b.jpg"), Expected(out + "/a.jpg", 30, 100));
}

TEST_F(ConvertProgramTest, StandardInputAndOutput) {
    const std::string a = MakeJpeg("a.jpg", 1);
    const std::string out = MakeOutputDirectory("out");

    const RunResult toFile = Run({"-c", "30", "-o", out, "-"}, {.input = a});
    EXPECT_EQ(toFile.exitStatus, 0) << toFile.err;
    EXPECT_EQ(ReadBytes(out + "/stdin.jpg"), Expected(a, 30, 100));

    const RunResult piped = Run({"-c", "30", "-r", "50", "-o", "-", "-"}, {.input = a});
    EXPECT_EQ(piped.exitStatus, 0) << piped.err;
    const std::vector<uint8_t> expected = Expected(a, 30, 50);
    EXPECT_EQ(piped.out, std::string(expected.begin(), expected.end()));
    EXPECT_EQ(piped.err, "");

    const RunResult named = Run({"-c", "30", "-o", "-", a});
    const std::vector<uint8_t> fromStandardInput = ReadBytes(out + "/stdin.jpg");
    EXPECT_EQ(named.out, std::string(fromStandardInput.begin(), fromStandardInput.end()));

    // A source that is kept still reaches the pipe, as it is.
    const std::string sixty = MakeJpeg("sixty.jpg", 2, 80, 60, 60);
    const RunResult kept = Run({"-c", "10", "--only-smaller", "-o", "-", sixty});
    EXPECT_EQ(kept.exitStatus, 0);
    const std::vector<uint8_t> original = ReadBytes(sixty);
    EXPECT_EQ(kept.out, std::string(original.begin(), original.end()));

    const RunResult broken = Run({"-o", "-", "-"}, {.input = files_.File("missing-is-dev-null")});
    EXPECT_EQ(broken.exitStatus, 126) << "the runner could not open the input";
    const RunResult empty = Run({"-o", "-", "-"});
    EXPECT_EQ(empty.exitStatus, 1);
    EXPECT_EQ(empty.err, "velmora-convert: -: JPEG error #42\n");
    EXPECT_EQ(empty.out, "");
}

// A pipe named as FILE is read to its end, not taken for an empty file; the picture is larger
// than a pipe holds at once.
TEST_F(ConvertProgramTest, PipesGivenAsFilesAreReadToTheirEnd) {
    const std::string a = MakeJpeg("a.jpg", 1, 600, 400, 98);
    ASSERT_GT(ReadBytes(a).size(), 65536u);
    const std::string out = MakeOutputDirectory("out");
    const std::string program = VELMORA_CONVERT_PATH;
    test::WriteText(files_.File("pipes.sh"),
                    "set -e\n"
                    "cat '" +
                        a + "' | '" + program + "' -c 30 -o '" + out +
                        "' /dev/stdin\n"
                        "'" +
                        program + "' -c 30 -o - <(cat '" + a + "') > '" + out +
                        "/substituted.jpg'\n");
    ASSERT_EQ(std::system(("bash " + files_.File("pipes.sh")).c_str()), 0);
    EXPECT_EQ(ReadBytes(out + "/stdin"), Expected(a, 30, 100));
    EXPECT_EQ(ReadBytes(out + "/substituted.jpg"), Expected(a, 30, 100));
}

TEST_F(ConvertProgramTest, MaxSizeMatchesTheConversionAtTheChosenPercent) {
    const std::string photo = MakeJpeg("photo.jpg", 3, 240, 180, 97);
    const std::string out = MakeOutputDirectory("out");
    for (const int resize : {100, 60}) {
        // Percent 50 fits, whatever the rounding to kilobytes.
        const size_t atFifty = Expected(photo, 50, resize).size();
        const std::string kilobytes = std::to_string((atFifty + 1023) / 1024);
        const RunResult result =
            Run({"--max-size", kilobytes, "-r", std::to_string(resize), "-o", out, photo});
        ASSERT_EQ(result.exitStatus, 0) << result.err;
        // The chosen quality is reported without -v.
        const size_t quality = result.err.find(", quality ");
        ASSERT_NE(quality, std::string::npos) << result.err;
        const int compress = 100 - std::stoi(result.err.substr(quality + 10));
        EXPECT_EQ(ReadBytes(out + "/photo.jpg"), Expected(photo, compress, resize));
        EXPECT_LE(ReadBytes(out + "/photo.jpg").size(), std::stoul(kilobytes) * 1024);
        EXPECT_GT(Expected(photo, compress - 1, resize).size(), std::stoul(kilobytes) * 1024);
    }

    const RunResult tooSmall = Run({"--max-size", "1", "-o", out, photo});
    EXPECT_EQ(tooSmall.exitStatus, 1);
    EXPECT_NE(tooSmall.err.find("velmora-convert: " + photo +
                                ": does not fit in 1 KB even at quality 1 ("),
              std::string::npos)
        << tooSmall.err;
}

TEST_F(ConvertProgramTest, OutputDirectoryProblemsAreUsageErrorsBeforeAnyWork) {
    const std::string a = MakeJpeg("a.jpg", 1);
    const std::string readOnly = MakeOutputDirectory("read-only");
    ::chmod(readOnly.c_str(), 0555);
    const struct {
        std::string directory;
        std::string problem;
    } cases[] = {
        {files_.File("missing"), "No such file or directory"},
        {a, "Not a directory"},
        {readOnly, "Permission denied"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> arguments = {"-o", c.directory};
        arguments.insert(arguments.end(), 50, a);
        const RunResult result = Run(arguments);
        EXPECT_EQ(result.exitStatus, 2) << c.directory;
        EXPECT_EQ(result.err.rfind("velmora-convert: -o: " + c.directory + ": " + c.problem +
                                       "\nUsage: velmora-convert ",
                                   0),
                  0u)
            << result.err;
    }
    EXPECT_TRUE(fs::is_empty(readOnly));
}

TEST_F(ConvertProgramTest, VerboseQuietAndTheExitStatusOfSkippedAndKeptFiles) {
    const std::string a = MakeJpeg("a.jpg", 1, 80, 60);
    const std::string sixty = MakeJpeg("sixty.jpg", 2, 80, 60, 60);
    const std::string out = MakeOutputDirectory("out");
    test::WriteText(out + "/a.jpg", "old");

    const RunResult verbose = Run({"-v", "-n", "--only-smaller", "-c", "10", "-o", out, a, sixty});
    EXPECT_EQ(verbose.exitStatus, 0) << "skipped and kept files are no failures";
    const std::vector<std::string> lines = LinesOf(verbose.err);
    ASSERT_EQ(lines.size(), 3u) << verbose.err;
    EXPECT_EQ(lines[0], a + ": skipped, exists: " + out + "/a.jpg");
    EXPECT_EQ(lines[1].rfind(sixty + ": " + std::to_string(ReadBytes(sixty).size()) + " -> ", 0),
              0u)
        << lines[1];
    EXPECT_NE(lines[1].find(" bytes (+"), std::string::npos) << lines[1];
    EXPECT_TRUE(lines[1].ends_with("%), quality 90; not smaller, the source is kept")) << lines[1];
    EXPECT_EQ(lines[2].rfind("0 converted, 0 failed, 1 skipped, 1 kept in ", 0), 0u) << lines[2];
    EXPECT_EQ(ReadText(out + "/a.jpg"), "old");
    EXPECT_FALSE(fs::exists(out + "/sixty.jpg"));

    const RunResult quiet = Run({"-q", "-o", out, sixty, files_.File("missing.jpg")});
    EXPECT_EQ(quiet.exitStatus, 1);
    EXPECT_EQ(quiet.err.rfind("velmora-convert: " + files_.File("missing.jpg") + ": ", 0), 0u);
    EXPECT_EQ(std::count(quiet.err.begin(), quiet.err.end(), '\n'), 1) << quiet.err;
    EXPECT_EQ(Run({"-q", "-o", out, sixty}).err, "");

    const RunResult dryRun = Run({"--dry-run", "-o", files_.File("dry"), a}, {});
    EXPECT_EQ(dryRun.exitStatus, 2) << "the output directory is checked in a dry run too";
    const std::string dry = MakeOutputDirectory("dry");
    const RunResult dryRunHere = Run({"--dry-run", "-o", dry, a});
    EXPECT_EQ(dryRunHere.exitStatus, 0);
    EXPECT_NE(dryRunHere.err.find("dry run, nothing written: 1 converted"), std::string::npos);
    EXPECT_TRUE(fs::is_empty(dry));
}

// A name made to drive the terminal shows as text.
TEST_F(ConvertProgramTest, ControlCharactersInNamesAreEscaped) {
    const std::string hostile = files_.File("x\x1b]0;owned\a\x1b[2J\nforged line.jpg");
    test::WriteText(hostile, "not a picture");
    const RunResult result = Run({"-o", MakeOutputDirectory("out"), hostile});
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_EQ(result.err, "velmora-convert: '" + files_.File("x") +
                              "'$'\\033'']0;owned'$'\\a\\033''[2J'$'\\n''forged line.jpg': JPEG "
                              "error #53\n");
}

// Memory runs out in the middle of a conversion: the user reads "Out of memory", whatever
// part of the program ran out.
TEST_F(ConvertProgramTest, RunningOutOfMemoryIsReportedAsSuch) {
#ifdef VELMORA_SANITIZED
    GTEST_SKIP() << "the sanitizers need the address space that this test takes away";
#endif
    // A small picture followed by 150 MB of zeros (a sparse file: no disk space). The size
    // search converts a copy of the whole source for each quality it tries, and a second copy
    // does not fit in 256 MB of address space.
    const std::string big = files_.File("big.jpg");
    test::WriteBytes(big, test::EncodeJpeg(test::MakePattern(64, 48)));
    ASSERT_EQ(::truncate(big.c_str(), off_t{150} << 20), 0);
    const std::string a = MakeJpeg("a.jpg", 1);
    const std::string out = MakeOutputDirectory("out");
    const RunResult result = Run({"-j", "1", "--max-size", "100", "-o", out, big, a},
                                 {.addressSpace = rlim_t{256} << 20});
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_EQ(result.err.substr(0, result.err.find('\n') + 1),
              "velmora-convert: " + big + ": Out of memory\n");
    EXPECT_TRUE(fs::exists(out + "/a.jpg")) << "the next file is converted";
}

TEST_F(ConvertProgramTest, WrongCommandLinesExitWithStatus2AndTheUsage) {
    const std::string a = MakeJpeg("a.jpg", 1);
    MakeJpeg("b.jpg", 2);
    const std::string out = MakeOutputDirectory("out");
    const std::vector<std::vector<std::string>> commandLines = {
        {"-c", "101", "-o", out, a},
        {"-r", "x", "-o", out, a},
        {a},
        {"-o", out},
        {"-j", "0", "-o", out, a},
        {"--bogus", "-o", out, a},
        {"--files-from", files_.File("no-list"), "-o", out},
        {"-o", "-", a, a},
        {"-o", out, "-", "--files-from", "-"},
        {"-R", "-o", "-", files_.File(".")},
    };
    for (const auto& arguments : commandLines) {
        const RunResult result = Run(arguments);
        EXPECT_EQ(result.exitStatus, 2) << arguments[0];
        EXPECT_EQ(result.err.rfind("velmora-convert: ", 0), 0u) << result.err;
        EXPECT_NE(result.err.find("\nUsage: velmora-convert "), std::string::npos) << result.err;
        EXPECT_EQ(result.out, "");
    }
    EXPECT_TRUE(fs::is_empty(out));
}

TEST_F(ConvertProgramTest, HelpAndVersion) {
    for (const char* help : {"--help", "-h"}) {
        const RunResult result = Run({help});
        EXPECT_EQ(result.exitStatus, 0);
        EXPECT_EQ(result.out.rfind("Usage: velmora-convert ", 0), 0u);
    }
    for (const char* version : {"--version", "-V"}) {
        const RunResult result = Run({version});
        EXPECT_EQ(result.exitStatus, 0);
        EXPECT_EQ(result.out, "velmora-convert " VELMORA_VERSION "\n");
    }
}

}  // namespace
}  // namespace velmora
