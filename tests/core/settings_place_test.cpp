// Where the settings live: beside a program its user may write, else in the user's
// configuration folder, and what the first start writes in each layout.
#include "core/settings_place.h"

#include <grp.h>
#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <stdexcept>

#include "core/errors.h"
#include "core/first_start.h"
#include "core/ini_file.h"
#include "core/settings.h"
#include "faults/child_process.h"
#include "support/scoped_env.h"
#include "support/temp_dir.h"

namespace velmora {
namespace {

using test::ReadText;
using test::ScopedEnv;
using test::TempDir;

// A home folder, a configuration folder and a program folder of the test's own.
class SettingsPlaceTest : public ::testing::Test {
  protected:
    void SetUp() override {
        // An ordinary user in a child process must reach everything below the directory.
        ASSERT_EQ(::chmod(dir_.Path().c_str(), 0755), 0);
        std::filesystem::create_directories(home_);
        std::filesystem::create_directories(program_);
    }

    std::string Program() const { return program_ + "/"; }
    void MakeProgramReadOnly() { ASSERT_EQ(::chmod(program_.c_str(), 0555), 0); }

    TempDir dir_;
    std::string home_ = dir_.File("home");
    std::string program_ = dir_.File("program");
    ScopedEnv homeEnv_{"HOME", home_.c_str()};
    ScopedEnv configEnv_{"XDG_CONFIG_HOME", nullptr};
};

TEST_F(SettingsPlaceTest, AProgramFolderTheUserMayWriteKeepsTheSettings) {
    const SettingsPlace place = SettingsPlaceFor(Program());
    EXPECT_EQ(place.directory, Program());
    EXPECT_TRUE(place.besideProgram);
}

TEST_F(SettingsPlaceTest, AReadOnlyProgramFolderSendsThemToTheConfigurationFolder) {
    MakeProgramReadOnly();
    struct Case {
        const char* configHome;
        std::string expected;
    };
    const Case cases[] = {
        {nullptr, home_ + "/.config/velmora/"},           {"", home_ + "/.config/velmora/"},
        {"relative/config", home_ + "/.config/velmora/"}, {"/srv/config", "/srv/config/velmora/"},
        {"/srv/config/", "/srv/config/velmora/"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.configHome ? c.configHome : "unset");
        const ScopedEnv configHome("XDG_CONFIG_HOME", c.configHome);
        const SettingsPlace place = SettingsPlaceFor(Program());
        EXPECT_EQ(place.directory, c.expected);
        EXPECT_FALSE(place.besideProgram);
    }
}

TEST_F(SettingsPlaceTest, ASettingsFileThatMayBeWrittenKeepsAReadOnlyFolderPortable) {
    test::WriteText(program_ + "/Config.ini", "[Velmora]\r\n");
    MakeProgramReadOnly();
    EXPECT_TRUE(SettingsPlaceFor(Program()).besideProgram);
    ASSERT_EQ(::chmod((program_ + "/Config.ini").c_str(), 0444), 0);
    EXPECT_FALSE(SettingsPlaceFor(Program()).besideProgram);
}

TEST_F(SettingsPlaceTest, AMissingProgramFolderCountsAsReadOnly) {
    EXPECT_FALSE(SettingsPlaceFor(dir_.File("gone") + "/").besideProgram);
}

TEST_F(SettingsPlaceTest, TheProgramDirectoryCanBeOverriddenForTests) {
    MakeProgramReadOnly();
    OverrideProgramDirectory(Program());
    EXPECT_EQ(SettingsDirectory(), home_ + "/.config/velmora/");
    EXPECT_EQ(SettingsFilePath(), home_ + "/.config/velmora/Config.ini");
    OverrideProgramDirectory("");
    EXPECT_TRUE(CurrentSettingsPlace().besideProgram) << "the build tree is writable";
}

// Drops the superuser's rights, whom the kernel lets write anywhere: the rest of the child
// runs as the user "nobody", as an ordinary user runs the program.
void BecomeOrdinaryUser() {
    if (::getuid() != 0) {
        return;
    }
    const passwd* nobody = ::getpwnam("nobody");
    if (!nobody || ::setgroups(0, nullptr) != 0 || ::setgid(nobody->pw_gid) != 0 ||
        ::setuid(nobody->pw_uid) != 0) {
        throw std::runtime_error("cannot become the user nobody");
    }
}

// The ordinary user owns home and configuration folder, like a real one.
void GiveToOrdinaryUser(const std::string& path) {
    if (::getuid() == 0) {
        const passwd* nobody = ::getpwnam("nobody");
        ASSERT_NE(nobody, nullptr);
        ASSERT_EQ(::chown(path.c_str(), nobody->pw_uid, nobody->pw_gid), 0);
    }
}

TEST_F(SettingsPlaceTest, AnOrdinaryUserOfAnInstalledProgramGetsSettingsInTheHomeFolder) {
    GiveToOrdinaryUser(home_);
    // Owned by the superuser with its own write bit, like /usr/bin: the superuser could write
    // there, an ordinary user cannot.
    ASSERT_EQ(::chmod(program_.c_str(), 0755), 0);
    const test::ChildResult child = test::RunInChild([&] {
        BecomeOrdinaryUser();
        const SettingsPlace place = SettingsPlaceFor(Program());
        if (place.besideProgram || place.directory != home_ + "/.config/velmora/") {
            throw std::runtime_error("settings placed in " + place.directory);
        }
        TIniFile settings(place.directory + kSettingsFileName);
        WriteFirstStartSettings(settings, place, home_ + "/Pictures");
    });
    EXPECT_EQ(child.exitCode, test::kChildSucceeded) << child.report;
    EXPECT_EQ(ReadText(home_ + "/.config/velmora/Config.ini"),
              "[Velmora]\r\nOutPath=" + home_ +
                  "/Pictures/Velmora/\r\nCompressPre=75\r\nResizePre=100\r\n");
    EXPECT_TRUE(std::filesystem::is_directory(home_ + "/Pictures/Velmora"));
    EXPECT_TRUE(std::filesystem::is_empty(program_));
}

TEST_F(SettingsPlaceTest, AnOrdinaryUserKeepsThePortableLayoutInAFolderOfTheirOwn) {
    GiveToOrdinaryUser(program_);
    const test::ChildResult child = test::RunInChild([&] {
        BecomeOrdinaryUser();
        const SettingsPlace place = SettingsPlaceFor(Program());
        if (!place.besideProgram || place.directory != Program()) {
            throw std::runtime_error("settings placed in " + place.directory);
        }
    });
    EXPECT_EQ(child.exitCode, test::kChildSucceeded) << child.report;
}

class FirstStartTest : public SettingsPlaceTest {
  protected:
    std::string Written(const std::string& outPath) const {
        return "[Velmora]\r\nOutPath=" + outPath + "\r\nCompressPre=75\r\nResizePre=100\r\n";
    }
};

TEST_F(FirstStartTest, PortableLayoutPutsTheOutputBesideTheProgram) {
    const SettingsPlace place = SettingsPlaceFor(Program());
    TIniFile settings(place.directory + kSettingsFileName);
    WriteFirstStartSettings(settings, place, home_ + "/Pictures");
    EXPECT_EQ(ReadText(program_ + "/Config.ini"), Written(Program()));
    EXPECT_FALSE(std::filesystem::exists(home_ + "/Pictures"));
}

TEST_F(FirstStartTest, InstalledLayoutCreatesTheSettingsAndPicturesFolders) {
    MakeProgramReadOnly();
    const ScopedEnv configHome("XDG_CONFIG_HOME", dir_.File("deep/config").c_str());
    const SettingsPlace place = SettingsPlaceFor(Program());
    TIniFile settings(place.directory + kSettingsFileName);
    WriteFirstStartSettings(settings, place, home_ + "/图片");
    EXPECT_EQ(ReadText(dir_.File("deep/config/velmora/Config.ini")),
              "[Velmora]\r\nOutPath=" + home_ +
                  "/\xCD\xBC\xC6\xAC/Velmora/\r\nCompressPre=75\r\nResizePre=100\r\n");
    EXPECT_TRUE(std::filesystem::is_directory(home_ + "/图片/Velmora"));
    EXPECT_TRUE(std::filesystem::is_empty(program_));
}

TEST_F(FirstStartTest, ASettingsFolderThatCannotBeCreatedFailsAndCreatesNothing) {
    MakeProgramReadOnly();
    const std::string locked = dir_.File("locked");
    std::filesystem::create_directory(locked);
    ASSERT_EQ(::chmod(locked.c_str(), 0555), 0);
    const ScopedEnv configHome("XDG_CONFIG_HOME", locked.c_str());
    const SettingsPlace place = SettingsPlaceFor(Program());
    TIniFile settings(place.directory + kSettingsFileName);
    try {
        WriteFirstStartSettings(settings, place, home_ + "/Pictures");
        ADD_FAILURE() << "no error";
    } catch (const EIniFileException& error) {
        EXPECT_EQ(std::string(error.what()),
                  "Unable to write to " + locked + "/velmora/Config.ini");
    }
    EXPECT_TRUE(std::filesystem::is_empty(locked));
    EXPECT_FALSE(std::filesystem::exists(home_ + "/Pictures"));
}

TEST_F(FirstStartTest, AProgramFolderNamedInGbkGetsItsSettingsAndReadsThemBack) {
    // "照片" in GBK, as an archive made on Windows unpacks it: no valid UTF-8.
    const std::string folder = dir_.File("\xD5\xD5\xC6\xAC") + "/";
    std::filesystem::create_directory(folder);
    const SettingsPlace place = SettingsPlaceFor(folder);
    ASSERT_TRUE(place.besideProgram);
    TIniFile settings(place.directory + kSettingsFileName);
    WriteFirstStartSettings(settings, place, home_ + "/Pictures");
    EXPECT_EQ(TIniFile(folder + "Config.ini").ReadSetting("Velmora", "OutPath", ""), folder);
    EXPECT_EQ(TIniFile(folder + "Config.ini").ReadSetting("Velmora", "ResizePre", ""), "100");
}

}  // namespace
}  // namespace velmora
