// FILE arguments and listed names turned into sources, with folders walked under -R.
#include "cli/source_list.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace velmora::cli {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

TEST(SourceListTest, SplitsListsOnTheirSeparator) {
    using Names = std::vector<std::string>;
    EXPECT_EQ(SplitNames("a.jpg\nb c.jpg\n", '\n'), (Names{"a.jpg", "b c.jpg"}));
    EXPECT_EQ(SplitNames("a.jpg\n\n\nb.jpg", '\n'), (Names{"a.jpg", "b.jpg"}));
    EXPECT_EQ(SplitNames(std::string("./a\nb.jpg\0./c.jpg\0", 18), '\0'),
              (Names{"./a\nb.jpg", "./c.jpg"}));
    EXPECT_EQ(SplitNames("", '\n'), Names{});
    EXPECT_EQ(SplitNames("one", '\0'), Names{"one"});
}

TEST(SourceListTest, ListedPathsKeepTheirPathInsideTheOutputDirectory) {
    const struct {
        const char* path;
        std::optional<std::string> outputName;
    } cases[] = {
        {"a.jpg", "a.jpg"},
        {"./sub/a.jpg", "sub/a.jpg"},
        {"/home/me/photos/a.jpg", "home/me/photos/a.jpg"},
        {"sub//./deeper/a.jpg", "sub/deeper/a.jpg"},
        {".", ""},
        {"..hidden/a.jpg", "..hidden/a.jpg"},
        {"../a.jpg", std::nullopt},
        {"sub/../../a.jpg", std::nullopt},
        {"sub/..", std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ListedOutputName(c.path), c.outputName) << c.path;
    }
}

// A photo folder with everything a walk must judge.
class FolderTreeTest : public ::testing::Test {
  protected:
    void SetUp() override {
        for (const char* file :
             {"tree/b.jpg", "tree/A.JPG", "tree/c.Jpg", "tree/d.jpeg", "tree/notes.txt",
              "tree/sub/e.jpg", "tree/sub/deeper/f.jpg", "tree/.hidden/g.jpg", "tree/.h.jpg",
              "tree/out/old.jpg", "elsewhere/x.jpg", "elsewhere/more/y.jpg"}) {
            fs::create_directories(fs::path(dir.File(file)).parent_path());
            test::WriteText(dir.File(file), "not decoded by the walk");
        }
        fs::create_directories(dir.File("tree/empty"));
        fs::create_directories(dir.File("tree/folder.jpg"));
        test::WriteText(dir.File("tree/folder.jpg/h.jpg"), "");
        fs::create_directory_symlink(dir.File("elsewhere"), dir.File("tree/linked"));
        fs::create_symlink(dir.File("elsewhere/x.jpg"), dir.File("tree/link.jpg"));
        fs::create_symlink(dir.File("missing.jpg"), dir.File("tree/dangling.jpg"));
        ::mkfifo(dir.File("tree/pipe.jpg").c_str(), 0600);
    }

    // source -> output name, or source: refusal.
    static std::vector<std::string> Described(const std::vector<PlannedFile>& files,
                                              const std::string& prefix) {
        std::vector<std::string> lines;
        for (const PlannedFile& file : files) {
            const std::string source = file.source.substr(prefix.size());
            lines.push_back(file.refusal.empty() ? source + " -> " + file.outputName
                                                 : source + ": " + file.refusal);
        }
        return lines;
    }

    TempDir dir;
};

TEST_F(FolderTreeTest, RecursiveFolderArgumentsGiveTheirJpegFilesInNameOrder) {
    std::vector<PlannedFile> files;
    AddFileArguments({dir.File("tree"), dir.File("elsewhere/x.jpg"), "-"},
                     {.recursive = true, .outputFolder = IdentityOf(dir.File("tree/out"))}, files);
    files.back().source = dir.Path() + "/-";
    const std::vector<std::string> expected = {
        "/tree/A.JPG -> A.JPG",
        "/tree/b.jpg -> b.jpg",
        "/tree/c.Jpg -> c.Jpg",
        "/tree/folder.jpg/h.jpg -> folder.jpg/h.jpg",
        "/tree/link.jpg -> link.jpg",
        "/tree/sub/deeper/f.jpg -> sub/deeper/f.jpg",
        "/tree/sub/e.jpg -> sub/e.jpg",
        "/elsewhere/x.jpg -> x.jpg",
        "/- -> stdin.jpg",
    };
    EXPECT_EQ(Described(files, dir.Path()), expected);
    EXPECT_TRUE(files.back().fromStandardInput);
}

TEST_F(FolderTreeTest, WithoutRecursionAFolderIsRefused) {
    std::vector<PlannedFile> files;
    AddFileArguments({dir.File("tree"), dir.File("tree/b.jpg"), dir.File("tree/none.jpg")}, {},
                     files);
    const std::vector<std::string> expected = {
        "/tree: not converted, a folder (-R converts the .jpg files in it)", "/tree/b.jpg -> b.jpg",
        "/tree/none.jpg -> none.jpg",  // fails when it is read, with the reader's message
    };
    EXPECT_EQ(Described(files, dir.Path()), expected);
}

TEST_F(FolderTreeTest, ListedNamesKeepTheirPathsUnderRecursion) {
    ASSERT_EQ(::chdir(dir.Path().c_str()), 0);
    std::vector<PlannedFile> files;
    AddListedNames({"./tree/sub", "tree/b.jpg", "../x.jpg", "-"}, {.recursive = true}, files);
    const std::vector<std::string> expected = {
        "./tree/sub/deeper/f.jpg -> tree/sub/deeper/f.jpg",
        "./tree/sub/e.jpg -> tree/sub/e.jpg",
        "tree/b.jpg -> tree/b.jpg",
        "../x.jpg: not converted, a \"..\" in its path leads out of DIR",
        "- -> -",  // a file named "-", not standard input
    };
    EXPECT_EQ(Described(files, ""), expected);
    EXPECT_FALSE(files.back().fromStandardInput);

    files.clear();
    AddListedNames({"tree/sub/e.jpg", "tree/sub"}, {}, files);
    EXPECT_EQ(Described(files, ""),
              (std::vector<std::string>{
                  "tree/sub/e.jpg -> e.jpg",
                  "tree/sub: not converted, a folder (-R converts the .jpg files in it)"}));
    ASSERT_EQ(::chdir("/"), 0);
}

// No file descriptor left for the folder (the one failure the superuser meets too): the folder
// is reported as a source that is refused, in its place among the others.
TEST_F(FolderTreeTest, AFolderThatCannotBeListedIsReportedInItsPlace) {
    std::vector<PlannedFile> files;
    AddFileArguments({dir.File("tree/b.jpg")}, {.recursive = true}, files);
    rlimit old{};
    ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &old), 0);
    const int lowestFree = ::dup(0);
    ::close(lowestFree);
    const rlimit none{static_cast<rlim_t>(lowestFree), old.rlim_max};
    ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &none), 0);
    AddFileArguments({dir.File("tree/sub")}, {.recursive = true}, files);
    ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &old), 0);
    AddFileArguments({dir.File("elsewhere")}, {.recursive = true}, files);
    const std::vector<std::string> expected = {
        "/tree/b.jpg -> b.jpg",
        "/tree/sub: cannot list the folder: Too many open files",
        "/elsewhere/more/y.jpg -> more/y.jpg",
        "/elsewhere/x.jpg -> x.jpg",
    };
    EXPECT_EQ(Described(files, dir.Path()), expected);
}

}  // namespace
}  // namespace velmora::cli
