// The process killed in the middle of converting a file onto itself: afterwards the file is
// either the complete old picture or the complete new one, never empty or cut short.
#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <filesystem>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "child_process.h"
#include "core/compress_file.h"
#include "core/jpeg_image.h"
#include "support/jpeg_fixture.h"
#include "support/temp_dir.h"

namespace velmora::test {
namespace {

using Clock = std::chrono::steady_clock;

bool TemporaryFileExists(const std::string& directory) {
    std::error_code ignored;
    for (const auto& entry : std::filesystem::directory_iterator(directory, ignored)) {
        if (IsWriterTemporary(entry.path().filename().string())) {
            return true;
        }
    }
    return false;
}

// A killed writer may leave its hidden temporary file behind.
void RemoveTemporaryFiles(const std::string& directory) {
    for (const auto& entry : std::filesystem::directory_iterator(directory)) {
        if (IsWriterTemporary(entry.path().filename().string())) {
            std::filesystem::remove(entry.path());
        }
    }
}

struct Percents {
    int compress;
    int resize;
};

TEST(KillDuringConversion, FileReplacingItselfIsAlwaysWholeOldOrWholeNew) {
    TempDir dir;
    // A few megapixels, so that writing the output takes a while.
    const std::vector<uint8_t> old = EncodeJpeg(MakePattern(1600, 1100));
    const Percents percents[] = {{30, 100}, {30, 50}};

    // What each conversion writes, and how long it takes on this machine.
    std::vector<std::vector<uint8_t>> expected;
    Clock::duration longest{};
    for (const Percents& p : percents) {
        WriteBytes(dir.File("reference.jpg"), old);
        const auto start = Clock::now();
        CompressFile(dir.File("reference.jpg"), dir.File("reference.jpg"), p.compress, p.resize);
        longest = std::max(longest, Clock::now() - start);
        expected.push_back(ReadBytes(dir.File("reference.jpg")));
        TJPEGImage check;
        check.LoadPictureFile(dir.File("reference.jpg"));
        ASSERT_NO_THROW(check.Pixels());
    }
    std::filesystem::remove(dir.File("reference.jpg"));

    const unsigned seed = std::random_device{}();
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 random(seed);
    const std::string photo = dir.File("photo.jpg");
    int endedOld = 0, endedNew = 0;
    for (int i = 0; i < 12; ++i) {
        const size_t which = static_cast<size_t>(i) % 2;
        const Percents p = percents[which];
        RemoveTemporaryFiles(dir.Path());
        WriteBytes(photo, old);
        const pid_t child = StartChild([&] { CompressFile(photo, photo, p.compress, p.resize); });
        if (i % 4 < 2) {
            // Anywhere in the conversion, or just after it.
            std::uniform_int_distribution<long> delay(0, long(longest.count() * 1.2));
            std::this_thread::sleep_for(Clock::duration(delay(random)));
        } else {
            // Anywhere while the new bytes are being written and put in place.
            const auto give_up = Clock::now() + longest * 5 + std::chrono::seconds(1);
            while (!TemporaryFileExists(dir.Path()) && Clock::now() < give_up) {
                std::this_thread::sleep_for(std::chrono::microseconds(50));
            }
            std::uniform_int_distribution<long> delay(0, 3000);
            std::this_thread::sleep_for(std::chrono::microseconds(delay(random)));
        }
        ::kill(child, SIGKILL);
        const ChildResult result = WaitForChild(child);

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
    }
    RecordProperty("ended_old", endedOld);
    RecordProperty("ended_new", endedNew);
}

}  // namespace
}  // namespace velmora::test
