// A full disk while the output is written: the conversion fails with "Stream write error", the
// old output stays as it was (also when the output is the source itself) and no temporary file
// is left behind, whether the writer's temporary files are unnamed or named. A settings write on
// a full disk fails likewise and keeps every old setting, also where it writes in place.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <vector>

#include "core/compress_file.h"
#include "core/errors.h"
#include "core/ini_file.h"
#include "core/settings.h"
#include "support/jpeg_fixture.h"
#include "support/temp_dir.h"
#include "temporaries_param.h"
#include "write_faults.h"

namespace velmora::test {
namespace {

struct Fault {
    const char* name;
    void (*arm)();
};

const Fault kFaults[] = {
    {"no space at the first write", [] { FailWritesAfter(0, ENOSPC); }},
    {"space for 1000 bytes", [] { FailWritesAfter(1000, ENOSPC); }},
    {"quota exceeded after 2000 bytes", [] { FailWritesAfter(2000, EDQUOT); }},
    {"flush fails", [] { FailFsync(ENOSPC); }},
    {"flush reports an I/O error", [] { FailFsync(EIO); }},
};

class DiskFullTest : public BothTemporariesTest {
  protected:
    void ExpectOnly(const std::vector<std::string>& names, const std::string& context) {
        EXPECT_EQ(dir.Entries(), names) << context;
    }

    TempDir dir;
    // Large enough that its encoding takes several writes' worth of bytes.
    const std::vector<uint8_t> source = EncodeJpeg(MakePattern(240, 180));
    const std::vector<uint8_t> old = {'o', 'l', 'd'};
};

TEST_P(DiskFullTest, FailsWithWriteErrorAndKeepsTheOldOutput) {
    WriteBytes(dir.File("a.jpg"), source);
    for (const Fault& fault : kFaults) {
        for (int resize : {100, 50}) {
            const std::string context = std::string(fault.name) + ", r=" + std::to_string(resize);
            WriteBytes(dir.File("out.jpg"), old);
            fault.arm();
            try {
                CompressFile(dir.File("a.jpg"), dir.File("out.jpg"),
                             {CompressPercent(25), ResizePercent(resize)});
                ADD_FAILURE() << context << ": no error";
            } catch (const EWriteError& error) {
                EXPECT_STREQ(error.what(), "Stream write error") << context;
            }
            ClearWriteFaults();
            EXPECT_EQ(ReadBytes(dir.File("out.jpg")), old) << context;
            ExpectOnly({"a.jpg", "out.jpg"}, context);
        }
    }
}

TEST_P(DiskFullTest, NewOutputIsNotCreatedAndASourceReplacingItselfStaysWhole) {
    for (const Fault& fault : kFaults) {
        WriteBytes(dir.File("a.jpg"), source);
        fault.arm();
        EXPECT_THROW(CompressFile(dir.File("a.jpg"), dir.File("new.jpg"),
                                  {CompressPercent(25), ResizePercent(100)}),
                     EWriteError)
            << fault.name;
        EXPECT_THROW(CompressFile(dir.File("a.jpg"), dir.File("a.jpg"),
                                  {CompressPercent(25), ResizePercent(100)}),
                     EWriteError)
            << fault.name;
        ClearWriteFaults();
        EXPECT_EQ(ReadBytes(dir.File("a.jpg")), source) << fault.name;
        ExpectOnly({"a.jpg"}, fault.name);
    }
}

TEST_P(DiskFullTest, ConversionWorksAgainOnceThereIsSpace) {
    WriteBytes(dir.File("a.jpg"), source);
    FailWritesAfter(0, ENOSPC);
    EXPECT_THROW(CompressFile(dir.File("a.jpg"), dir.File("out.jpg"),
                              {CompressPercent(25), ResizePercent(100)}),
                 EWriteError);
    ClearWriteFaults();
    CompressFile(dir.File("a.jpg"), dir.File("out.jpg"), {CompressPercent(25), ResizePercent(100)});
    EXPECT_EQ(
        ReadBytes(dir.File("out.jpg")),
        CompressBytes(ReadBytes(dir.File("a.jpg")), {CompressPercent(25), ResizePercent(100)}));
}

TEST_P(DiskFullTest, SettingsWriteFailsAndKeepsTheOldFile) {
    const std::string path = dir.File(kSettingsFileName);
    const std::string old = "[Velmora]\r\nOutPath=/photos/out/\r\nCompressPre=75\r\n";
    WriteText(path, old);
    // The settings file is a few dozen bytes: space for part of it, or for none.
    const Fault faults[] = {
        {"no space at the first write", [] { FailWritesAfter(0, ENOSPC); }},
        {"space for 20 bytes", [] { FailWritesAfter(20, ENOSPC); }},
        {"flush fails", [] { FailFsync(ENOSPC); }},
    };
    for (const Fault& fault : faults) {
        fault.arm();
        try {
            TIniFile(path).WriteSetting(kSettingsSection, kCompressPreKey, "30");
            ADD_FAILURE() << fault.name << ": no error";
        } catch (const EIniFileException& error) {
            EXPECT_EQ(std::string(error.what()), "Unable to write to " + path) << fault.name;
        }
        ClearWriteFaults();
        EXPECT_EQ(ReadText(path), old) << fault.name;
        ExpectOnly({kSettingsFileName}, fault.name);
    }
}

// A settings file written where it is (in a folder that may not be written, or with a second
// hard link): a write that finds no room for the file to grow leaves the old bytes.
TEST_P(DiskFullTest, SettingsWrittenInPlaceKeepTheOldFileWhenTheyCannotGrow) {
    const std::string old = "[Velmora]\r\nOutPath=/photos/out/\r\n";
    ::mkdir(dir.File("locked").c_str(), 0755);
    const std::string inLockedFolder = dir.File("locked/") + kSettingsFileName;
    WriteText(inLockedFolder, old);
    ::chmod(dir.File("locked").c_str(), 0555);
    const std::string linked = dir.File(kSettingsFileName);
    WriteText(linked, old);
    ::link(linked.c_str(), dir.File("link.ini").c_str());
    for (const std::string& path : {inLockedFolder, linked}) {
        FailWritesAfter(0, ENOSPC);
        EXPECT_THROW(TIniFile(path).WriteSetting(kSettingsSection, kCompressPreKey, "30"),
                     EIniFileException)
            << path;
        ClearWriteFaults();
        EXPECT_EQ(ReadText(path), old) << path;
    }
    EXPECT_EQ(ReadText(dir.File("link.ini")), old);
}

VELMORA_INSTANTIATE_FOR_BOTH_TEMPORARIES(DiskFullTest);

}  // namespace
}  // namespace velmora::test
