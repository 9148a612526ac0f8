// Runs the real velmora-convert program on small generated JPEG files.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <filesystem>
#include <string>
#include <vector>

#include "core/compress_file.h"
#include "core/errors.h"
#include "core/jpeg_image.h"
#include "support/jpeg_fixture.h"
#include "support/temp_dir.h"

extern char** environ;

namespace velmora {
namespace {

using velmora::test::EntriesOf;
using velmora::test::ReadBytes;
using velmora::test::ReadText;
using velmora::test::TempDir;

struct RunResult {
    int exitStatus = -1;
    std::string out;
    std::string err;
};

class ConvertProgramTest : public ::testing::Test {
  protected:
    // Runs velmora-convert with the arguments, its standard streams going to files.
    RunResult Run(const std::vector<std::string>& arguments) {
        std::vector<std::string> argv{VELMORA_CONVERT_PATH};
        argv.insert(argv.end(), arguments.begin(), arguments.end());
        std::vector<char*> pointers;
        pointers.reserve(argv.size() + 1);
        for (std::string& argument : argv) {
            pointers.push_back(argument.data());
        }
        pointers.push_back(nullptr);

        const std::string outPath = streams_.File("stdout");
        const std::string errPath = streams_.File("stderr");
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0644);
        posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0644);
        pid_t pid = 0;
        const int spawned =
            posix_spawn(&pid, argv[0].c_str(), &actions, nullptr, pointers.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        RunResult result;
        if (spawned != 0) {
            ADD_FAILURE() << "cannot start " << argv[0];
            return result;
        }
        int status = 0;
        while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
        result.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        result.out = ReadText(outPath);
        result.err = ReadText(errPath);
        return result;
    }

    // A small JPEG file; the seed makes each one different.
    std::string MakeJpeg(const std::string& name, unsigned seed, int width = 40, int height = 30) {
        std::string path = files_.File(name);
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        velmora::test::WriteBytes(
            path, velmora::test::EncodeJpeg(velmora::test::MakePattern(width, height, 3, seed)));
        return path;
    }

    std::string MakeOutputDirectory(const std::string& name) {
        std::string path = files_.File(name);
        std::filesystem::create_directory(path);
        return path;
    }

    // What the core makes of the file at these percents.
    std::vector<uint8_t> Expected(const std::string& source, int compress, int resize) {
        return CompressBytes(ReadBytes(source), compress, resize);
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
    EXPECT_TRUE(std::filesystem::exists(out + "/a.jpg"));
    EXPECT_TRUE(std::filesystem::exists(out + "/b.jpg"));
    EXPECT_FALSE(std::filesystem::exists(out + "/missing.jpg"));
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
    }
    EXPECT_EQ(EntriesOf(outputs[0]), EntriesOf(outputs[1]));
}

TEST_F(ConvertProgramTest, WrongCommandLinesExitWithStatus2AndTheUsage) {
    const std::string a = MakeJpeg("a.jpg", 1);
    const std::string out = MakeOutputDirectory("out");
    const std::vector<std::vector<std::string>> commandLines = {
        {"-c", "101", "-o", out, a}, {"-r", "x", "-o", out, a}, {a}, {"-o", out},
        {"-j", "0", "-o", out, a},   {"--bogus", "-o", out, a},
    };
    for (const auto& arguments : commandLines) {
        const RunResult result = Run(arguments);
        EXPECT_EQ(result.exitStatus, 2) << arguments[0];
        EXPECT_EQ(result.err.rfind("velmora-convert: ", 0), 0u) << result.err;
        EXPECT_NE(result.err.find("\nusage: velmora-convert "), std::string::npos) << result.err;
    }
    EXPECT_TRUE(std::filesystem::is_empty(out));
}

TEST_F(ConvertProgramTest, HelpAndVersion) {
    const RunResult help = Run({"--help"});
    EXPECT_EQ(help.exitStatus, 0);
    EXPECT_EQ(help.out.rfind("usage: velmora-convert ", 0), 0u);

    const RunResult version = Run({"--version"});
    EXPECT_EQ(version.exitStatus, 0);
    EXPECT_EQ(version.out, "velmora-convert " VELMORA_VERSION "\n");
}

}  // namespace
}  // namespace velmora
