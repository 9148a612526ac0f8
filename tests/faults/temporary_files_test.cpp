// The crash-safe writer's temporary files: those of writers that are gone are removed by the
// next write into their directory and nothing else is, and a directory swapped for a link in
// the middle of a write cannot send the file (or a temporary one) elsewhere. With unnamed
// temporary files and on file systems without them.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "core/file_io.h"
#include "support/temp_dir.h"
#include "temporaries_param.h"
#include "write_faults.h"

namespace velmora::test {
namespace {

namespace fs = std::filesystem;

// The id of a process that has ended and been reaped.
pid_t GoneProcess() {
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::_exit(0);
    }
    ::waitpid(pid, nullptr, 0);
    return pid;
}

std::string Named(const char* format, pid_t pid) {
    char name[128];
    std::snprintf(name, sizeof name, format, int(pid));
    return name;
}

class TemporaryFilesTest : public BothTemporariesTest {
  protected:
    void Write(const std::string& path) {
        const uint8_t bytes[] = {'n', 'e', 'w'};
        WriteFileReplacing(path, bytes, sizeof bytes);
    }
    TempDir dir;
};

TEST_P(TemporaryFilesTest, TheNextWriteRemovesOnlyThoseOfWritersThatAreGone) {
    const pid_t gone = GoneProcess();
    struct Case {
        std::string name;
        bool removed;
    };
    const std::vector<Case> cases = {
        {Named(".velmora-%d-0123abcd", gone), true},
        {Named(".photo.jpg.velmora-%d-89abcdef", gone), true},  // the form of earlier versions
        {Named(".velmora-%d-0123abcd", ::getpid()), false},     // a writer still at work
        {Named(".velmora-%d-0123abcd", ::getppid()), false},
        {Named("velmora-%d-0123abcd", gone), false},  // not hidden: not the writer's
        {Named(".velmora-%d-0123abcg", gone), false},
        {Named(".velmora-%d-0123abc", gone), false},
        {Named(".velmora-%d-0123abcd.jpg", gone), false},
        {".velmora-notes", false},
        {"photo.jpg", false},
    };
    for (const Case& c : cases) {
        WriteText(dir.File(c.name), "x");
    }
    ::mkdir(dir.File(Named(".velmora-%d-fedcba98", gone)).c_str(), 0755);  // not a file
    // Another user's file is not this program's to remove (only the superuser can make one).
    const std::string foreign = Named(".velmora-%d-00000000", gone);
    WriteText(dir.File(foreign), "x");
    const bool foreignOwned = ::chown(dir.File(foreign).c_str(), 54321, 54321) == 0;

    Write(dir.File("out.jpg"));
    for (const Case& c : cases) {
        EXPECT_EQ(fs::exists(dir.File(c.name)), !c.removed) << c.name;
    }
    EXPECT_TRUE(fs::is_directory(dir.File(Named(".velmora-%d-fedcba98", gone))));
    EXPECT_EQ(fs::exists(dir.File(foreign)), foreignOwned);
    EXPECT_EQ(ReadText(dir.File("out.jpg")), "new");
}

// The write began in the directory as it was when the write began; the swap must neither
// move the file into the link's target nor leave a temporary file anywhere.
TEST_P(TemporaryFilesTest, ADirectorySwappedForALinkMidWriteKeepsTheWriteWhereItBegan) {
    fs::create_directory(dir.File("out"));
    fs::create_directory(dir.File("elsewhere"));
    WriteText(dir.File("out/photo.jpg"), "old");
    BeforeNextWrite([&] {
        fs::rename(dir.File("out"), dir.File("moved"));
        fs::create_directory_symlink(dir.File("elsewhere"), dir.File("out"));
    });
    Write(dir.File("out/photo.jpg"));
    EXPECT_EQ(ReadText(dir.File("moved/photo.jpg")), "new");
    EXPECT_TRUE(fs::is_empty(dir.File("elsewhere")));
    EXPECT_EQ(EntriesOf(dir.File("moved")), std::vector<std::string>{"photo.jpg"});
}

VELMORA_INSTANTIATE_FOR_BOTH_TEMPORARIES(TemporaryFilesTest);

}  // namespace
}  // namespace velmora::test
