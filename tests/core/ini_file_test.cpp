#include "core/ini_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "core/errors.h"
#include "support/pipe_guard.h"
#include "support/temp_dir.h"

namespace velmora {
namespace {

using velmora::test::EntriesOf;
using velmora::test::ReadText;
using velmora::test::TempDir;
using velmora::test::WriteText;

struct stat StatOf(const std::string& path) {
    struct stat info {};
    ::stat(path.c_str(), &info);
    return info;
}

class IniFileTest : public ::testing::Test {
  protected:
    std::string Read(const std::string& key, const std::string& defaultValue = "<default>") {
        return TIniFile(path_).ReadSetting("Velmora", key, defaultValue);
    }
    void Write(const std::string& key, const std::string& value) {
        TIniFile(path_).WriteSetting("Velmora", key, value);
    }
    std::string FileBytes() const { return ReadText(path_); }

    TempDir dir_;
    std::string path_ = dir_.File("Config.ini");
};

TEST_F(IniFileTest, FirstStartFileHasTheClassicLayout) {
    Write("OutPath", "/home/user/velmora/");
    Write("CompressPre", "75");
    Write("ResizePre", "100");

    EXPECT_EQ(FileBytes(),
              "[Velmora]\r\nOutPath=/home/user/velmora/\r\nCompressPre=75\r\nResizePre=100\r\n");
    EXPECT_EQ(Read("OutPath"), "/home/user/velmora/");
    EXPECT_EQ(Read("CompressPre"), "75");
    EXPECT_EQ(Read("ResizePre"), "100");
    // No temporary file is left beside it.
    EXPECT_EQ(dir_.Entries(), std::vector<std::string>{"Config.ini"});
}

TEST_F(IniFileTest, MissingFileSectionOrKeyGivesTheDefault) {
    EXPECT_EQ(Read("CompressPre", "75"), "75");
    EXPECT_FALSE(std::filesystem::exists(path_)) << "reading must not create the file";

    const char* const files[] = {
        "",
        "[Other]\r\nCompressPre=1\r\n",
        "[Velmora]\r\nOutPath=x\r\n",
        "[Velmora]\r\n;CompressPre=1\r\n",
        "[Velmora]\r\n[Next]\r\nCompressPre=1\r\n",
        "CompressPre=1\r\n[Velmora]\r\n",
    };
    for (const char* file : files) {
        WriteText(path_, file);
        EXPECT_EQ(Read("CompressPre", "75"), "75") << file;
    }
}

TEST_F(IniFileTest, ADirectoryInPlaceOfTheFileReadsAsMissing) {
    std::filesystem::create_directory(path_);
    EXPECT_EQ(Read("OutPath", ""), "");
}

// A pipe named Config.ini is neither waited for nor written into.
TEST_F(IniFileTest, APipeInPlaceOfTheFileReadsAsMissingAndIsNotWritten) {
    ASSERT_EQ(::mkfifo(path_.c_str(), 0644), 0);
    EXPECT_EQ(velmora::test::WithoutWaitingOn(path_, [&] { return Read("OutPath", "none"); }),
              "none");
    EXPECT_THROW(velmora::test::WithoutWaitingOn(path_, [&] { Write("OutPath", "/x/"); }),
                 EIniFileException);
    EXPECT_TRUE(std::filesystem::is_fifo(path_));
}

TEST_F(IniFileTest, EmptyValueIsNotTheDefault) {
    WriteText(path_, "[Velmora]\r\nOutPath=\r\nCompressPre=   \r\n");
    EXPECT_EQ(Read("OutPath"), "");
    EXPECT_EQ(Read("CompressPre"), "");
}

TEST_F(IniFileTest, EveryWrittenValueReadsBackUnchanged) {
    const char* const values[] = {
        "",   " lead", "trail ", "\tboth\t", "\"quoted\"",        "'single'",
        "\"", "a=b",   ";x",     "[x]",      "/dir with blanks/",
    };
    for (const char* value : values) {
        Write("OutPath", value);
        EXPECT_EQ(Read("OutPath"), value);
    }
    // The key was replaced each time, never added again.
    Write("OutPath", "/last/");
    EXPECT_EQ(FileBytes(), "[Velmora]\r\nOutPath=/last/\r\n");
}

TEST_F(IniFileTest, SectionAndKeyLookupIgnoresLetterCase) {
    WriteText(path_, "[velmora]\r\ncompresspre=30\r\n");
    EXPECT_EQ(Read("CompressPre"), "30");
    TIniFile(path_).WriteSetting("VELMORA", "COMPRESSPRE", "40");
    EXPECT_EQ(FileBytes(), "[velmora]\r\ncompresspre=40\r\n");
}

TEST_F(IniFileTest, LetterCaseFoldsOnlyWholeAsciiCharacters) {
    // "丄" is 81 41 and "乤" is 81 61 in the file: their trail bytes are "A" and "a".
    WriteText(path_, "[Velmora]\r\n\x81\x61=a\r\n");
    EXPECT_EQ(Read("丄"), "<default>");
    EXPECT_EQ(Read("乤"), "a");

    // "乚" is 81 5D: its trail byte is "]", which must not end the section name.
    const std::string other = dir_.File("other.ini");
    TIniFile(other).WriteSetting("乚", "k", "v");
    EXPECT_EQ(ReadText(other), "[\x81\x5d]\r\nk=v\r\n");
    EXPECT_EQ(TIniFile(other).ReadSetting("乚", "k", ""), "v");
}

TEST_F(IniFileTest, WritesKeepEveryOtherLineByteForByte) {
    const std::string original =
        "; written by hand\r\n[Other]\nName = keep me \n\n[Velmora]\r\nCompressPre = 30\r\n"
        "stray line\r\n\r\n[Last]\r\nX=1";
    WriteText(path_, original);

    Write("CompressPre", "40");
    const std::string replaced =
        "; written by hand\r\n[Other]\nName = keep me \n\n[Velmora]\r\nCompressPre = 40\r\n"
        "stray line\r\n\r\n[Last]\r\nX=1";
    EXPECT_EQ(FileBytes(), replaced);

    Write("ResizePre", "80");
    const std::string added =
        "; written by hand\r\n[Other]\nName = keep me \n\n[Velmora]\r\nCompressPre = 40\r\n"
        "stray line\r\nResizePre=80\r\n\r\n[Last]\r\nX=1";
    EXPECT_EQ(FileBytes(), added);

    TIniFile(path_).WriteSetting("Last", "Y", "2");
    EXPECT_EQ(FileBytes(), added + "\r\nY=2\r\n");

    TIniFile(path_).WriteSetting("New", "K", "v");
    EXPECT_EQ(FileBytes(), added + "\r\nY=2\r\n[New]\r\nK=v\r\n");
    EXPECT_EQ(TIniFile(path_).ReadSetting("Other", "Name", ""), "keep me");
}

TEST_F(IniFileTest, ChineseTextIsStoredAsGb18030AndReadsBack) {
    Write("OutPath", "/home/用户/图片/");
    EXPECT_EQ(FileBytes(), "[Velmora]\r\nOutPath=/home/\xD3\xC3\xBB\xA7/\xCD\xBC\xC6\xAC/\r\n");
    EXPECT_EQ(Read("OutPath"), "/home/用户/图片/");

    // Characters beyond the two-byte range have four-byte forms.
    Write("OutPath", "/tmp/é€😀/");
    EXPECT_EQ(Read("OutPath"), "/tmp/é€😀/");
}

TEST_F(IniFileTest, ReadsAFileWrittenInGbk) {
    WriteText(path_, "[Velmora]\r\nOutPath=D:\\\xD5\xD5\xC6\xAC\\\r\n");
    EXPECT_EQ(Read("OutPath"), "D:\\照片\\");
}

TEST_F(IniFileTest, InvalidBytesReadLenientlyAndSurviveWrites) {
    const std::string original = "[Velmora]\r\nOutPath=/x\x80y\xff\x81\r\nJunk=\xfe\r\n";
    WriteText(path_, original);
    EXPECT_EQ(Read("OutPath"), "/x\uFFFDy\uFFFD\uFFFD");
    EXPECT_EQ(Read("Junk"), "\uFFFD");

    Write("CompressPre", "1");
    EXPECT_EQ(FileBytes(), original + "CompressPre=1\r\n");
}

TEST_F(IniFileTest, PathBytesThatAreNoUtf8ReadBackExactly) {
    const char* const values[] = {
        "/home/u/\xD5\xD5\xC6\xAC/",  // "照片" in GBK
        "/caf\xE9/",                  // Latin-1
        "/x\x80y\xFF/",               // stray bytes
        "/\xE4\xB8/",                 // a character cut short
        "/\xC0\xAF/",                 // an overlong "/"
        "/\xED\xA0\x80/",             // a UTF-16 surrogate
    };
    for (const char* value : values) {
        Write("OutPath", value);
        EXPECT_EQ(Read("OutPath"), value);
    }
    // Each such byte is stored as a private-use character, U+EF80 + (byte - 0x80); the valid
    // characters around it keep their GB18030 form.
    Write("OutPath", "/图\x80\xFF/");
    EXPECT_EQ(FileBytes(), "[Velmora]\r\nOutPath=/\xCD\xBC\x83\x38\x89\x39\x83\x38\x96\x36/\r\n");
}

TEST_F(IniFileTest, LongValuesAreCutAt2047BytesOfFileText) {
    std::string han;  // 1024 × "中": two bytes each in the file
    for (int i = 0; i < 1024; ++i) {
        han += "中";
    }
    const std::string hanCut = han.substr(0, han.size() - std::string("中").size());

    const auto cut = [this] {
        return TIniFile(path_).ReadSettingValue("Velmora", "OutPath", "").cut;
    };

    Write("OutPath", std::string(3000, 'a'));
    EXPECT_EQ(Read("OutPath"), std::string(2047, 'a'));
    EXPECT_TRUE(cut());
    EXPECT_EQ(FileBytes().size(), std::string("[Velmora]\r\nOutPath=\r\n").size() + 3000);

    Write("OutPath", "a" + han);  // 2049 bytes: the cut falls between characters
    EXPECT_EQ(Read("OutPath"), "a" + hanCut);
    EXPECT_TRUE(cut());

    Write("OutPath", han);  // 2048 bytes: the cut would split the last character
    EXPECT_EQ(Read("OutPath"), hanCut);
    EXPECT_TRUE(cut());

    Write("OutPath", std::string(2047, 'a'));  // whole
    EXPECT_EQ(Read("OutPath"), std::string(2047, 'a'));
    EXPECT_FALSE(cut());
    EXPECT_FALSE(TIniFile(path_).ReadSettingValue("Velmora", "Missing", "").cut);
}

TEST_F(IniFileTest, FailedWritesNameTheFileAndLeaveItAlone) {
    const std::string readOnlyFile = dir_.File("readonly.ini");
    WriteText(readOnlyFile, "[Velmora]\r\nCompressPre=30\r\n");
    chmod(readOnlyFile.c_str(), 0444);

    const std::string readOnlyDirectory = dir_.File("locked");
    std::filesystem::create_directory(readOnlyDirectory);
    chmod(readOnlyDirectory.c_str(), 0555);

    std::filesystem::create_directory(dir_.File("directory.ini"));

    const std::string paths[] = {
        readOnlyFile,
        readOnlyDirectory + "/Config.ini",
        dir_.File("missing/Config.ini"),
        dir_.File("directory.ini"),
    };
    for (const std::string& path : paths) {
        try {
            TIniFile(path).WriteSetting("Velmora", "CompressPre", "40");
            ADD_FAILURE() << "wrote " << path;
        } catch (const EIniFileException& error) {
            EXPECT_EQ(std::string(error.what()), "Unable to write to " + path);
        }
    }
    EXPECT_EQ(ReadText(readOnlyFile), "[Velmora]\r\nCompressPre=30\r\n");
    EXPECT_TRUE(std::filesystem::is_empty(readOnlyDirectory));
}

// A settings file kept elsewhere (with other dotfiles) behind a chain of links: the file at the
// end is written, every link stays a link.
TEST_F(IniFileTest, WritesGoThroughSymbolicLinksAndKeepThem) {
    std::filesystem::create_directories(dir_.File("dotfiles/velmora"));
    const std::string target = dir_.File("dotfiles/velmora/settings.ini");
    WriteText(target, "[Other]\r\nA=1\r\n");
    std::filesystem::create_symlink("velmora/settings.ini", dir_.File("dotfiles/settings.ini"));
    std::filesystem::create_symlink(dir_.File("dotfiles/settings.ini"), path_);
    Write("CompressPre", "30");
    EXPECT_TRUE(std::filesystem::is_symlink(path_));
    EXPECT_TRUE(std::filesystem::is_symlink(dir_.File("dotfiles/settings.ini")));
    EXPECT_EQ(ReadText(target), "[Other]\r\nA=1\r\n[Velmora]\r\nCompressPre=30\r\n");
    EXPECT_EQ(Read("CompressPre"), "30");

    // A link whose file does not exist yet: the file is made where the link points.
    std::filesystem::remove(target);
    Write("ResizePre", "80");
    EXPECT_TRUE(std::filesystem::is_symlink(path_));
    EXPECT_EQ(ReadText(target), "[Velmora]\r\nResizePre=80\r\n");
}

// Replacing the file would split hard links, or is impossible in a folder that may not be
// written: such a file is written where it is, byte for byte as any write.
TEST_F(IniFileTest, HardLinkedFilesAndFilesInReadOnlyFoldersAreWrittenInPlace) {
    const std::string original =
        "; mine\r\n[Velmora]\r\nOutPath=/home/\xD3\xC3/\r\nCompressPre=75\r\n";
    const std::string linked = dir_.File("linked/Config.ini");
    std::filesystem::create_directory(dir_.File("linked"));
    WriteText(linked, original);
    ASSERT_EQ(::link(linked.c_str(), dir_.File("linked/other-name.ini").c_str()), 0);
    const std::string locked = dir_.File("locked/Config.ini");
    std::filesystem::create_directory(dir_.File("locked"));
    WriteText(locked, original);
    ::chmod(dir_.File("locked").c_str(), 0555);

    for (const std::string& path : {linked, locked}) {
        const ino_t inode = StatOf(path).st_ino;
        TIniFile(path).WriteSetting("Velmora", "CompressPre", "5");  // shorter
        EXPECT_EQ(ReadText(path),
                  "; mine\r\n[Velmora]\r\nOutPath=/home/\xD3\xC3/\r\nCompressPre=5\r\n");
        TIniFile(path).WriteSetting("Velmora", "ResizePre", "100");  // longer
        EXPECT_EQ(ReadText(path),
                  "; mine\r\n[Velmora]\r\nOutPath=/home/\xD3\xC3/\r\nCompressPre=5\r\n"
                  "ResizePre=100\r\n");
        EXPECT_EQ(TIniFile(path).ReadSetting("Velmora", "OutPath", ""), "/home/用/");
        EXPECT_EQ(StatOf(path).st_ino, inode) << path;
    }
    EXPECT_EQ(ReadText(dir_.File("linked/other-name.ini")), ReadText(linked));
    EXPECT_EQ(EntriesOf(dir_.File("locked")), std::vector<std::string>{"Config.ini"});

    // A read-only file stays refused there.
    ::chmod(locked.c_str(), 0444);
    EXPECT_THROW(TIniFile(locked).WriteSetting("Velmora", "ResizePre", "1"), EIniFileException);
}

TEST_F(IniFileTest, RefusesTextTheLayoutCannotHold) {
    Write("CompressPre", "30");
    const std::string before = FileBytes();
    // U+EF80 would read back as the byte 0x80 (see the test below).
    const char* const values[] = {"1\r\nResizePre=0", "1\nx", "/\xEE\xBE\x80/"};
    for (const char* value : values) {
        EXPECT_THROW(Write("CompressPre", value), EIniFileException) << value;
    }
    EXPECT_THROW(Write("Compress=Pre", "1"), EIniFileException);
    EXPECT_THROW(TIniFile(path_).WriteSetting("Vel]mora", "k", "1"), EIniFileException);
    EXPECT_EQ(FileBytes(), before);
}

}  // namespace
}  // namespace velmora
