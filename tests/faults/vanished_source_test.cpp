// A source file deleted after the batch was listed and before its turn: its conversion fails
// with EFOpenError and the batch ends there, as after any conversion error: nothing after it is
// converted or reported, the percents are not stored and the host is not finished.
#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "batch/fake_host.h"
#include "batch/task_queue.h"
#include "core/compress_file.h"
#include "core/compress_thread.h"
#include "core/errors.h"
#include "core/file_io.h"
#include "core/settings.h"
#include "support/jpeg_fixture.h"
#include "support/settings_directory.h"
#include "support/temp_dir.h"

namespace velmora::test {
namespace {

TEST(VanishedSource, BatchEndsAtTheMissingFileWithoutFinishing) {
    TempDir sources, outputs, settings;
    const ScopedSettingsDirectory settingsOverride(settings.Path());
    TFakeHost host;
    host.outputDirectory = outputs.Path() + "/";
    for (const char* name : {"a.jpg", "b.jpg", "c.jpg"}) {
        WriteBytes(sources.File(name), EncodeJpeg(MakePattern(32, 24)));
        host.entries.push_back({sources.File(name), true});
    }
    // The user's file manager removes b.jpg while a.jpg is being reported.
    host.onCall = [&](const std::string& operation) {
        if (operation == "ReportPercent") {
            std::filesystem::remove(sources.File("b.jpg"));
        }
    };
    std::atomic<int> openErrors{0};
    const std::optional<TBatchEnd> end = RunBatch(
        host,
        [&](const std::string& source, const std::string& output, ConversionPercents percents) {
            try {
                CompressFile(source, output, percents);
            } catch (const EFOpenError&) {
                ++openErrors;
                throw;
            }
        });

    EXPECT_EQ(end, TBatchEnd::Failed);
    EXPECT_EQ(openErrors, 1);
    EXPECT_EQ(host.reports, std::vector<uint16_t>{33});
    EXPECT_EQ(host.finishes, 0);
    EXPECT_EQ(outputs.Entries(), std::vector<std::string>{"a.jpg"});
    EXPECT_FALSE(FileExists(settings.File(kSettingsFileName)));
}

}  // namespace
}  // namespace velmora::test
