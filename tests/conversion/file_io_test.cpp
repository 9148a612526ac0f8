// Whole-file reads (pipes and devices in the place of files) and the crash-safe replacing
// write: permissions, owners, links, long paths and what stays behind.
#include "core/file_io.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "core/errors.h"
#include "support/pipe_guard.h"
#include "support/temp_dir.h"

namespace velmora::test {
namespace {

namespace fs = std::filesystem;

struct stat StatOf(const std::string& path) {
    struct stat info {};
    ::lstat(path.c_str(), &info);
    return info;
}

mode_t ModeOf(const std::string& path) {
    return StatOf(path).st_mode & 07777;
}

// Writes the bytes into the pipe's write end from another thread, then closes it.
std::thread Feed(int fd, std::vector<uint8_t> bytes) {
    return std::thread([fd, bytes = std::move(bytes)] {
        for (size_t done = 0; done < bytes.size();) {
            const ssize_t n =
                ::write(fd, bytes.data() + done, std::min<size_t>(bytes.size() - done, 5000));
            if (n <= 0) {
                break;
            }
            done += static_cast<size_t>(n);
        }
        ::close(fd);
    });
}

std::vector<uint8_t> Pattern(size_t size) {
    std::vector<uint8_t> bytes(size);
    for (size_t i = 0; i < size; ++i) {
        bytes[i] = uint8_t(i * 31 + i / 251);
    }
    return bytes;
}

TEST(ReadWholeFile, PipesAndDevicesAreRefusedWithoutWaiting) {
    TempDir dir;
    ASSERT_EQ(::mkfifo(dir.File("pipe.jpg").c_str(), 0644), 0);
    for (const std::string& path : {dir.File("pipe.jpg"), std::string("/dev/null")}) {
        const std::string outcome = WithoutWaitingOn(path, [&] {
            try {
                ReadWholeFile(path);
                return std::string("read");
            } catch (const EFOpenError& error) {
                return std::string(error.what());
            }
        });
        EXPECT_EQ(outcome, "Cannot open file \"" + path + "\". Not a regular file");
    }
    try {
        ReadWholeFile(dir.Path());
        ADD_FAILURE() << "read a directory";
    } catch (const EFOpenError& error) {
        EXPECT_EQ(std::string(error.what()),
                  "Cannot open file \"" + dir.Path() + "\". Is a directory");
    }
}

// A named pipe and the other end of an anonymous one (as /dev/stdin is), fed more bytes than
// fit in the first buffer.
TEST(ReadWholeFile, APipeIsReadToItsEndWhenAsked) {
    const std::vector<uint8_t> bytes = Pattern(300000);
    TempDir dir;
    ASSERT_EQ(::mkfifo(dir.File("pipe.jpg").c_str(), 0644), 0);
    std::thread named([&] {
        const int fd = ::open(dir.File("pipe.jpg").c_str(), O_WRONLY);
        Feed(fd, bytes).join();
    });
    EXPECT_EQ(ReadWholeFile(dir.File("pipe.jpg"), TNonRegular::ReadToEnd), bytes);
    named.join();

    int fds[2];
    ASSERT_EQ(::pipe(fds), 0);
    std::thread anonymous = Feed(fds[1], bytes);
    EXPECT_EQ(ReadWholeFile("/dev/fd/" + std::to_string(fds[0]), TNonRegular::ReadToEnd), bytes);
    anonymous.join();
    ::close(fds[0]);

    EXPECT_TRUE(ReadWholeFile("/dev/null", TNonRegular::ReadToEnd).empty());
}

TEST(WriteFileReplacing, NewFilesFollowTheUmaskAndReplacedFilesKeepTheirMode) {
    TempDir dir;
    const uint8_t bytes[] = {1, 2, 3};
    const mode_t previous = ::umask(027);
    WriteFileReplacing(dir.File("new.jpg"), bytes, sizeof bytes);
    ::umask(previous);
    EXPECT_EQ(ModeOf(dir.File("new.jpg")), 0640u);

    ::chmod(dir.File("new.jpg").c_str(), 0604);
    WriteFileReplacing(dir.File("new.jpg"), bytes, 2);
    EXPECT_EQ(ModeOf(dir.File("new.jpg")), 0604u);
    EXPECT_EQ(ReadBytes(dir.File("new.jpg")), (std::vector<uint8_t>{1, 2}));
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{"new.jpg"});

    // A photograph is no program: set-user-ID and set-group-ID bits are never carried over.
    ::chmod(dir.File("new.jpg").c_str(), 06755);
    WriteFileReplacing(dir.File("new.jpg"), bytes, 1);
    EXPECT_EQ(ModeOf(dir.File("new.jpg")), 0755u);
}

TEST(WriteFileReplacing, ReplacedFileKeepsItsOwnerAndGroupWherePermitted) {
    TempDir dir;
    const std::string path = dir.File("photo.jpg");
    const uint8_t bytes[] = {1};
    WriteFileReplacing(path, bytes, 1);
    if (::chown(path.c_str(), 54321, 54322) != 0) {
        GTEST_SKIP() << "only the superuser can give a file to another owner";
    }
    WriteFileReplacing(path, bytes, 1);
    EXPECT_EQ(StatOf(path).st_uid, 54321u);
    EXPECT_EQ(StatOf(path).st_gid, 54322u);
}

// Replacing a path that is a symbolic link puts a new file in the link's place; the file it
// pointed at (perhaps the only copy of a photograph, elsewhere) keeps its bytes and mode, and
// the new file is created like any new one, not with the target's mode.
TEST(WriteFileReplacing, ALinkIsReplacedAndWhatItPointsAtIsLeftAlone) {
    TempDir dir;
    fs::create_directory(dir.File("album"));
    fs::create_directory(dir.File("out"));
    WriteText(dir.File("album/photo.jpg"), "original");
    ::chmod(dir.File("album/photo.jpg").c_str(), 0600);
    fs::create_symlink("../album/photo.jpg", dir.File("out/photo.jpg"));
    const uint8_t bytes[] = {'n', 'e', 'w'};
    const mode_t previous = ::umask(022);
    WriteFileReplacing(dir.File("out/photo.jpg"), bytes, sizeof bytes);
    ::umask(previous);

    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(dir.File("out/photo.jpg"))));
    EXPECT_EQ(ReadText(dir.File("out/photo.jpg")), "new");
    EXPECT_EQ(ModeOf(dir.File("out/photo.jpg")), 0644u);
    EXPECT_EQ(ReadText(dir.File("album/photo.jpg")), "original");
    EXPECT_EQ(ModeOf(dir.File("album/photo.jpg")), 0600u);
    EXPECT_EQ(EntriesOf(dir.File("out")), std::vector<std::string>{"photo.jpg"});
}

TEST(WriteFileReplacing, WhatIsNotARegularFileIsRefused) {
    TempDir dir;
    ::mkdir(dir.File("folder.jpg").c_str(), 0755);
    ::mkfifo(dir.File("pipe.jpg").c_str(), 0644);
    fs::create_directory_symlink(dir.File("folder.jpg"), dir.File("link.jpg"));
    const std::vector<std::string> before = dir.Entries();
    const uint8_t bytes[] = {1};
    for (const char* name : {"folder.jpg", "pipe.jpg", "link.jpg", "folder.jpg/"}) {
        EXPECT_THROW(WriteFileReplacing(dir.File(name), bytes, 1), EFCreateError) << name;
    }
    EXPECT_EQ(dir.Entries(), before);
    EXPECT_TRUE(fs::is_symlink(dir.File("link.jpg")));
    EXPECT_TRUE(fs::is_empty(dir.File("folder.jpg")));
}

// The temporary file never makes the path longer than the target's own.
TEST(WriteFileReplacing, PathsOfTheLongestLengthAreWritten) {
    TempDir dir;
    const std::string name = "photo.jpg";
    const size_t directoryLength = PATH_MAX - 1 - 1 - name.size();
    std::string directory = dir.Path();
    while (directory.size() + 1 + 255 < directoryLength) {
        directory += "/" + std::string(200, 'd');
        ASSERT_EQ(::mkdir(directory.c_str(), 0755), 0);
    }
    directory += "/" + std::string(directoryLength - directory.size() - 1, 'e');
    ASSERT_EQ(::mkdir(directory.c_str(), 0755), 0);
    const std::string path = directory + "/" + name;
    ASSERT_EQ(path.size(), size_t{PATH_MAX - 1});

    const uint8_t bytes[] = {1, 2, 3};
    WriteFileReplacing(path, bytes, sizeof bytes);  // new
    WriteFileReplacing(path, bytes, 2);             // replacing
    EXPECT_EQ(ReadBytes(path), (std::vector<uint8_t>{1, 2}));
    EXPECT_EQ(EntriesOf(directory), std::vector<std::string>{name});
}

}  // namespace
}  // namespace velmora::test
