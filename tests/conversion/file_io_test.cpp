// The crash-safe replacing write: permissions and what stays behind.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "core/errors.h"
#include "core/file_io.h"
#include "support/temp_dir.h"

namespace velmora::test {
namespace {

mode_t ModeOf(const std::string& path) {
    struct stat info {};
    ::stat(path.c_str(), &info);
    return info.st_mode & 07777;
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
}

TEST(WriteFileReplacing, ADirectoryInTheWayIsRefused) {
    TempDir dir;
    ::mkdir(dir.File("photo.jpg").c_str(), 0755);
    const uint8_t bytes[] = {1};
    EXPECT_THROW(WriteFileReplacing(dir.File("photo.jpg"), bytes, 1), EFCreateError);
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{"photo.jpg"});
}

}  // namespace
}  // namespace velmora::test
