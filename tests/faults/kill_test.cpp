// The process killed in the middle of converting a file onto itself: afterwards the file is
// either the complete old picture or the complete new one, never empty or cut short, and the
// next write into the directory leaves no temporary file of the killed writer behind. Both with
// unnamed temporary files and on file systems without them.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "child_process.h"
#include "core/compress_file.h"
#include "core/file_io.h"
#include "core/jpeg_image.h"
#include "support/jpeg_fixture.h"
#include "support/temp_dir.h"
#include "temporaries_param.h"
#include "write_faults.h"

namespace velmora::test {
namespace {

using Clock = std::chrono::steady_clock;

int TemporaryFileCount(const TempDir& dir) {
    int count = 0;
    for (const std::string& name : dir.Entries()) {
        count += IsWriterTemporary(name);
    }
    return count;
}

struct Percents {
    int compress;
    int resize;
};

class KillDuringConversion : public BothTemporariesTest {
  protected:
    // The next write into the directory, by this process.
    void WriteSomethingInto(const TempDir& dir) {
        const uint8_t bytes[] = {1, 2, 3};
        WriteFileReplacing(dir.File("next.txt"), bytes, sizeof bytes);
    }

    // A few megapixels, so that writing the output takes a while.
    const std::vector<uint8_t> old = EncodeJpeg(MakePattern(1600, 1100));
};

// A child that signals through a pipe when it begins to write the output, so that some kills
// fall while the temporary file is written and put in place.
struct WritingChild {
    pid_t pid;
    int writing;  // readable once the child writes
};

WritingChild StartConversion(const std::string& photo, Percents p) {
    int fds[2];
    if (::pipe(fds) != 0) {
        throw std::runtime_error("pipe failed");
    }
    const pid_t pid = StartChild([&] {
        ::close(fds[0]);
        const int signal = fds[1];
        BeforeNextWrite([signal] { (void)!::write(signal, "w", 1); });
        CompressFile(photo, photo, {CompressPercent(p.compress), ResizePercent(p.resize)});
    });
    ::close(fds[1]);
    return {pid, fds[0]};
}

TEST_P(KillDuringConversion, FileReplacingItselfIsAlwaysWholeOldOrWholeNew) {
    const Percents percents[] = {{30, 100}, {30, 50}};
    std::vector<std::vector<uint8_t>> expected;
    Clock::duration longest{};
    {
        TempDir reference;
        for (const Percents& p : percents) {
            WriteBytes(reference.File("photo.jpg"), old);
            const auto start = Clock::now();
            CompressFile(reference.File("photo.jpg"), reference.File("photo.jpg"),
                         {CompressPercent(p.compress), ResizePercent(p.resize)});
            longest = std::max(longest, Clock::now() - start);
            expected.push_back(ReadBytes(reference.File("photo.jpg")));
            ASSERT_EQ(expected.back(),
                      CompressBytes(old, {CompressPercent(p.compress), ResizePercent(p.resize)}));
        }
    }

    const unsigned seed = std::random_device{}();
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 random(seed);
    TempDir dir;
    const std::string photo = dir.File("photo.jpg");
    int endedOld = 0, endedNew = 0, leftTemporaries = 0;
    for (int i = 0; i < 12; ++i) {
        const size_t which = static_cast<size_t>(i) % 2;
        WriteBytes(photo, old);
        const WritingChild child = StartConversion(photo, percents[which]);
        if (i % 4 < 2) {
            // Anywhere in the conversion, or just after it.
            std::uniform_int_distribution<long> delay(0, long(longest.count() * 1.2));
            std::this_thread::sleep_for(Clock::duration(delay(random)));
        } else {
            // Anywhere while the new bytes are being written and put in place.
            char signal;
            (void)!::read(child.writing, &signal, 1);
            std::uniform_int_distribution<long> delay(0, 3000);
            std::this_thread::sleep_for(std::chrono::microseconds(delay(random)));
        }
        ::kill(child.pid, SIGKILL);
        ::close(child.writing);
        const ChildResult result = WaitForChild(child.pid);

        const std::vector<uint8_t> now = ReadBytes(photo);
        const bool isOld = now == old;
        const bool isNew = now == expected[which];
        EXPECT_TRUE(isOld || isNew) << "kill " << i << ": " << now.size() << " bytes";
        if (result.exited) {
            EXPECT_EQ(result.exitCode, kChildSucceeded) << result.report;
            EXPECT_TRUE(isNew) << "kill " << i << " came after a finished conversion";
        }
        endedOld += isOld;
        endedNew += isNew;
        leftTemporaries += TemporaryFileCount(dir) > 0;

        WriteSomethingInto(dir);
        EXPECT_EQ(TemporaryFileCount(dir), 0) << "after kill " << i;
    }
    RecordProperty("ended_old", endedOld);
    RecordProperty("ended_new", endedNew);
    RecordProperty("left_temporaries", leftTemporaries);
}

// The program ending while a worker writes (its window closed during a cancelled batch): the
// process is gone at the first write of the output, as if killed there.
TEST_P(KillDuringConversion, ProgramEndingMidWriteLeavesNothingOnceWrittenAgain) {
    TempDir dir;
    const std::string photo = dir.File("photo.jpg");
    WriteBytes(photo, old);
    const ChildResult result = RunInChild([&] {
        BeforeNextWrite([] { ::_exit(kChildSucceeded); });
        CompressFile(photo, dir.File("out.jpg"), {CompressPercent(30), ResizePercent(100)});
    });
    ASSERT_TRUE(result.exited) << result.report;
    EXPECT_EQ(ReadBytes(photo), old);
    if (GetParam() == Temporaries::kUnnamed) {
        EXPECT_EQ(dir.Entries(), std::vector<std::string>{"photo.jpg"});
    }
    WriteSomethingInto(dir);
    EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"next.txt", "photo.jpg"}));
}

VELMORA_INSTANTIATE_FOR_BOTH_TEMPORARIES(KillDuringConversion);

}  // namespace
}  // namespace velmora::test
