// A full disk while the output is written: the conversion fails with "Stream write error", the
// old output stays as it was (also when the output is the source itself) and no temporary file
// is left behind.
#include <gtest/gtest.h>

#include <cerrno>
#include <string>
#include <vector>

#include "core/compress_file.h"
#include "core/errors.h"
#include "support/jpeg_fixture.h"
#include "support/temp_dir.h"
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

class DiskFullTest : public ::testing::Test {
  protected:
    void ExpectOnly(const std::vector<std::string>& names, const std::string& context) {
        EXPECT_EQ(dir.Entries(), names) << context;
    }

    TempDir dir;
    ScopedWriteFaults faults;
    // Large enough that its encoding takes several writes' worth of bytes.
    const std::vector<uint8_t> source = EncodeJpeg(MakePattern(240, 180));
    const std::vector<uint8_t> old = {'o', 'l', 'd'};
};

TEST_F(DiskFullTest, FailsWithWriteErrorAndKeepsTheOldOutput) {
    WriteBytes(dir.File("a.jpg"), source);
    for (const Fault& fault : kFaults) {
        for (int resize : {100, 50}) {
            const std::string context = std::string(fault.name) + ", r=" + std::to_string(resize);
            WriteBytes(dir.File("out.jpg"), old);
            fault.arm();
            try {
                CompressFile(dir.File("a.jpg"), dir.File("out.jpg"), 25, resize);
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

TEST_F(DiskFullTest, NewOutputIsNotCreatedAndASourceReplacingItselfStaysWhole) {
    for (const Fault& fault : kFaults) {
        WriteBytes(dir.File("a.jpg"), source);
        fault.arm();
        EXPECT_THROW(CompressFile(dir.File("a.jpg"), dir.File("new.jpg"), 25, 100), EWriteError)
            << fault.name;
        EXPECT_THROW(CompressFile(dir.File("a.jpg"), dir.File("a.jpg"), 25, 100), EWriteError)
            << fault.name;
        ClearWriteFaults();
        EXPECT_EQ(ReadBytes(dir.File("a.jpg")), source) << fault.name;
        ExpectOnly({"a.jpg"}, fault.name);
    }
}

TEST_F(DiskFullTest, ConversionWorksAgainOnceThereIsSpace) {
    WriteBytes(dir.File("a.jpg"), source);
    FailWritesAfter(0, ENOSPC);
    EXPECT_THROW(CompressFile(dir.File("a.jpg"), dir.File("out.jpg"), 25, 100), EWriteError);
    ClearWriteFaults();
    CompressFile(dir.File("a.jpg"), dir.File("out.jpg"), 25, 100);
    CompressFile(dir.File("a.jpg"), dir.File("ref.jpg"), 25, 100);
    EXPECT_EQ(ReadBytes(dir.File("out.jpg")), ReadBytes(dir.File("ref.jpg")));
}

}  // namespace
}  // namespace velmora::test
