#include "core/compress_thread.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "core/compress_file.h"
#include "core/file_io.h"
#include "core/ini_file.h"
#include "core/settings.h"
#include "fake_host.h"
#include "support/jpeg_fixture.h"
#include "support/settings_directory.h"
#include "support/temp_dir.h"
#include "task_queue.h"

namespace velmora {
namespace {

using test::RunBatch;
using test::TEndLatch;
using test::TFakeHost;
using test::TGate;
using test::TTaskQueue;
using test::TUiThread;

// a0.jpg, a1.jpg, ...: the file name of entry i.
std::string EntryName(size_t index) {
    std::string name = "a";
    name += std::to_string(index);
    name += ".jpg";
    return name;
}

// Makes a directory the current one for as long as it lives.
class TCurrentDirectory {
  public:
    explicit TCurrentDirectory(const std::string& directory)
        : previous_(std::filesystem::current_path()) {
        std::filesystem::current_path(directory);
    }
    ~TCurrentDirectory() { std::filesystem::current_path(previous_); }

  private:
    std::filesystem::path previous_;
};

class CompressThreadTest : public ::testing::Test {
  protected:
    void SetUp() override { host_.outputDirectory = outputs_.Path() + "/"; }

    // Small JPEG sources, one per selection flag, named a0.jpg, a1.jpg, ...
    void AddEntries(const std::vector<bool>& selected) {
        for (bool isSelected : selected) {
            const std::string path = sources_.File(EntryName(host_.entries.size()));
            const unsigned seed = static_cast<unsigned>(host_.entries.size()) + 1;
            test::WriteBytes(path, test::EncodeJpeg(test::MakePattern(40, 30, 3, seed)));
            host_.entries.push_back({path, isSelected});
        }
    }

    // What a single conversion of the entry gives at these percents.
    std::vector<uint8_t> Expected(size_t entry, TSliderPositions positions) {
        return CompressBytes(
            test::ReadBytes(host_.entries.at(entry).path),
            {CompressPercent(positions.compressPercent), ResizePercent(positions.resizePercent)});
    }

    // Between the cases of a table: every output and the settings file go.
    void RemoveOutputsAndSettings() {
        for (const std::string& name : outputs_.Entries()) {
            ::unlink(outputs_.File(name).c_str());
        }
        ::unlink(SettingsFile().c_str());
    }

    std::string SettingsFile() const { return settings_.File(kSettingsFileName); }
    std::string StoredSetting(const std::string& key) const {
        return TIniFile(SettingsFile()).ReadSetting(kSettingsSection, key, "missing");
    }

    test::TempDir sources_;
    test::TempDir outputs_;
    test::TempDir settings_;
    test::ScopedSettingsDirectory settingsOverride_{settings_.Path()};
    TFakeHost host_;
    TEndLatch latch_;
};

TEST_F(CompressThreadTest, ConvertsOnlySelectedEntriesAndReportsAfterEach) {
    AddEntries({true, false, true, false, false, true});
    EXPECT_EQ(RunBatch(host_), TBatchEnd::Finished);
    EXPECT_EQ(host_.reports, (std::vector<uint16_t>{33, 67, 100}));
    EXPECT_EQ(host_.finishes, 1);
    EXPECT_EQ(host_.callsOffUiThread, 0);
    EXPECT_EQ(outputs_.Entries(), (std::vector<std::string>{"a0.jpg", "a2.jpg", "a5.jpg"}));
    for (size_t entry : {0u, 2u, 5u}) {
        EXPECT_EQ(test::ReadBytes(outputs_.File(EntryName(entry))), Expected(entry, {30, 80}))
            << entry;
    }
    EXPECT_EQ(StoredSetting(kCompressPreKey), "30");
    EXPECT_EQ(StoredSetting(kResizePreKey), "80");
}

TEST_F(CompressThreadTest, NothingSelectedStillStoresThePercentsAndFinishes) {
    AddEntries({false, false, false});
    EXPECT_EQ(RunBatch(host_), TBatchEnd::Finished);
    EXPECT_TRUE(host_.reports.empty());
    EXPECT_EQ(host_.finishes, 1);
    EXPECT_TRUE(outputs_.Entries().empty());
    EXPECT_EQ(StoredSetting(kCompressPreKey), "30");
    EXPECT_EQ(StoredSetting(kResizePreKey), "80");
}

// The percents stored are the sliders' positions after the last file, compression percent
// first, and they are on disk before the host finishes.
TEST_F(CompressThreadTest, StoresThePositionsReadAtTheEndBeforeFinishing) {
    AddEntries({true, true});
    host_.onCall = [this](const std::string& operation) {
        if (operation == "ReportPercent" && host_.reports.size() == 1) {
            host_.positions = {45, 60};  // while the last report is shown
        }
    };
    std::string settingsAtFinish;
    host_.onFinish = [&] { settingsAtFinish = test::ReadText(SettingsFile()); };
    EXPECT_EQ(RunBatch(host_), TBatchEnd::Finished);
    EXPECT_EQ(settingsAtFinish, "[Velmora]\r\nCompressPre=45\r\nResizePre=60\r\n");
    EXPECT_EQ(test::ReadBytes(outputs_.File("a1.jpg")), Expected(1, {30, 80}));
}

TEST_F(CompressThreadTest, FailedSettingsWriteEndsTheRunBeforeFinishing) {
    struct Case {
        const char* name;
        std::string settingsDirectory;
        bool readOnly;
    };
    const Case cases[] = {
        {"read-only directory", settings_.Path() + "/", true},
        {"missing directory", settings_.File("gone") + "/", false},
    };
    AddEntries({true});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        OverrideSettingsDirectory(c.settingsDirectory);
        ASSERT_EQ(::chmod(settings_.Path().c_str(), c.readOnly ? 0555 : 0755), 0);
        TFakeHost host = host_;
        EXPECT_EQ(RunBatch(host), TBatchEnd::Failed);
        EXPECT_EQ(host.reports, std::vector<uint16_t>{100});
        EXPECT_EQ(host.finishes, 0);
        EXPECT_FALSE(FileExists(SettingsFile()));
        EXPECT_EQ(outputs_.Entries(), std::vector<std::string>{"a0.jpg"});
    }
}

TEST_F(CompressThreadTest, ConversionErrorEndsTheRunAtThatFileSilently) {
    AddEntries({true, true, true, true});
    // Not a JPEG at all.
    host_.entries[1].path = sources_.File("x.jpg");
    test::WriteBytes(host_.entries[1].path, {'t', 'e', 'x', 't', '\n'});
    EXPECT_EQ(RunBatch(host_), TBatchEnd::Failed);
    EXPECT_EQ(host_.reports, std::vector<uint16_t>{25});
    EXPECT_EQ(host_.finishes, 0);
    EXPECT_EQ(outputs_.Entries(), std::vector<std::string>{"a0.jpg"});
    EXPECT_FALSE(FileExists(SettingsFile()));
}

// The user cancels while the third of five files is being converted: that file is
// completed, nothing after it is converted, reported or stored, and the host is not asked
// for anything more.
TEST_F(CompressThreadTest, StopDuringAConversionCompletesThatFileOnly) {
    AddEntries({true, true, true, true, true});
    const std::string oldSettings = "[Velmora]\r\nCompressPre=11\r\nResizePre=22\r\n";
    test::WriteText(SettingsFile(), oldSettings);
    TGate thirdStarted;
    TGate cancelled;
    const std::string third = host_.entries[2].path;
    auto convert = [=](const std::string& source, const std::string& output,
                       ConversionPercents percents) {
        if (source == third) {
            thirdStarted.Open();
            cancelled.Wait();
        }
        CompressFile(source, output, percents);
    };
    TUiThread ui;
    host_.uiThread = ui.Id();
    TCompressThread worker(host_, ui.PostFunction(), latch_.Options(convert));
    ASSERT_TRUE(thirdStarted.Wait());
    ui.Do([&] {
        worker.RequestStop();
        host_.closed = true;
    });
    cancelled.Open();
    EXPECT_EQ(latch_.Wait(), TBatchEnd::Stopped);
    ui.Do([] {});
    EXPECT_EQ(host_.reports, (std::vector<uint16_t>{20, 40}));
    EXPECT_EQ(host_.finishes, 0);
    EXPECT_EQ(host_.callsAfterClose, 0);
    EXPECT_EQ(outputs_.Entries(), (std::vector<std::string>{"a0.jpg", "a1.jpg", "a2.jpg"}));
    EXPECT_EQ(test::ReadBytes(outputs_.File("a2.jpg")), Expected(2, {30, 80}));
    EXPECT_EQ(test::ReadText(SettingsFile()), oldSettings);
}

// The stop comes from the UI thread while it serves one of the worker's operations (in the
// finish operation: the dialog closing itself when done). That operation is completed; the
// worker neither converts nor stores anything after it.
TEST_F(CompressThreadTest, StopWhileTheUiThreadServesAnOperation) {
    struct Case {
        const char* operation;
        int occurrence;
        std::vector<std::string> outputs;
        std::vector<uint16_t> reports;
        bool settingsStored;
        TBatchEnd end;
    };
    const Case cases[] = {
        {"SliderPositions", 2, {"a0.jpg"}, {50}, false, TBatchEnd::Stopped},
        {"SliderPositions", 3, {"a0.jpg", "a1.jpg"}, {50, 100}, false, TBatchEnd::Stopped},
        {"Finish", 1, {"a0.jpg", "a1.jpg"}, {50, 100}, true, TBatchEnd::Finished},
    };
    AddEntries({true, true});
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.operation) + " " + std::to_string(c.occurrence));
        TFakeHost host = host_;
        TEndLatch latch;
        TUiThread ui;
        host.uiThread = ui.Id();
        std::unique_ptr<TCompressThread> worker;
        int seen = 0;
        host.onCall = [&](const std::string& operation) {
            if (operation == c.operation && ++seen == c.occurrence) {
                worker->RequestStop();
                host.closed = true;
            }
        };
        // Created on the UI thread, as the dialog does, so the hook can reach it.
        ui.Do([&] {
            worker = std::make_unique<TCompressThread>(host, ui.PostFunction(), latch.Options());
        });
        EXPECT_EQ(latch.Wait(), c.end);
        ui.Do([] {});
        EXPECT_EQ(host.calls.back(), c.operation);
        EXPECT_EQ(host.reports, c.reports);
        EXPECT_EQ(host.finishes, c.settingsStored ? 1 : 0);
        EXPECT_EQ(outputs_.Entries(), c.outputs);
        EXPECT_EQ(FileExists(SettingsFile()), c.settingsStored);
        RemoveOutputsAndSettings();
    }
}

// The directory text and the file name are joined as they are.
TEST_F(CompressThreadTest, OutputPathIsDirectoryTextFollowedByFileName) {
    struct Case {
        std::string directory;
        std::string expectedFile;  // within the outputs directory
    };
    const Case cases[] = {
        {outputs_.File("out"), "outa0.jpg"},
        {"", "a0.jpg"},  // the current directory, which the test makes the outputs directory
    };
    AddEntries({true});
    const TCurrentDirectory inOutputs(outputs_.Path());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.directory);
        TFakeHost host = host_;
        host.outputDirectory = c.directory;
        EXPECT_EQ(RunBatch(host), TBatchEnd::Finished);
        EXPECT_EQ(outputs_.Entries(), std::vector<std::string>{c.expectedFile});
        ::unlink(outputs_.File(c.expectedFile).c_str());
    }
    EXPECT_EQ(sources_.Entries(), std::vector<std::string>{"a0.jpg"});
}

// The dialog closes while the worker waits for one of its operations, either asking for a
// stop first (the dialog's own closing) or just dropping the queued call (a window destroyed
// with calls still queued for it). The worker ends without touching the host again.
TEST_F(CompressThreadTest, HostClosedWhileTheWorkerWaitsEndsTheWorker) {
    enum class WaitingFor { NextEntry, Finish };
    struct Case {
        WaitingFor waitingFor;
        bool requestStop;
    };
    const Case cases[] = {
        {WaitingFor::NextEntry, true},
        {WaitingFor::NextEntry, false},
        {WaitingFor::Finish, true},
        {WaitingFor::Finish, false},
    };
    AddEntries({true, true});
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.waitingFor) * 2 + (c.requestStop ? 1 : 0));
        // The test thread is the UI thread here and runs the queued calls itself.
        auto queue = std::make_shared<TTaskQueue>();
        TFakeHost host = host_;
        host.uiThread = std::this_thread::get_id();
        TEndLatch latch;
        auto worker =
            std::make_unique<TCompressThread>(host, queue->PostFunction(), latch.Options());
        const size_t reportsBeforeClose = c.waitingFor == WaitingFor::NextEntry ? 1 : 2;
        while (host.reports.size() < reportsBeforeClose) {
            ASSERT_TRUE(queue->RunNext());
        }
        if (c.waitingFor == WaitingFor::Finish) {
            ASSERT_TRUE(queue->RunNext());  // the positions to store
        }
        ASSERT_TRUE(queue->WaitForTask());
        if (c.requestStop) {
            worker->RequestStop();
        }
        host.closed = true;
        queue->Close();
        EXPECT_EQ(latch.Wait(), TBatchEnd::Stopped);
        worker.reset();
        EXPECT_EQ(host.callsAfterClose, 0);
        EXPECT_EQ(host.finishes, 0);
        EXPECT_EQ(queue->PostedAfterClose(), 0);
        const std::vector<std::string> expectedOutputs =
            c.waitingFor == WaitingFor::NextEntry ? std::vector<std::string>{"a0.jpg"}
                                                  : std::vector<std::string>{"a0.jpg", "a1.jpg"};
        EXPECT_EQ(outputs_.Entries(), expectedOutputs);
        RemoveOutputsAndSettings();
    }
}

// A stopped worker may still be converting its file while the next batch runs: both convert
// at once, and the stopped one neither reports nor stores anything.
TEST_F(CompressThreadTest, StoppedWorkerFinishesItsFileWhileTheNextBatchRuns) {
    AddEntries({true, true, true, true});
    TFakeHost first = host_;
    first.entries.resize(2);
    TFakeHost second = host_;
    test::TempDir secondOutputs;
    second.outputDirectory = secondOutputs.Path() + "/";
    second.positions = {10, 100};

    TGate firstConverting;
    TGate secondConverting;
    auto holdFirst = [=](const std::string& source, const std::string& output,
                         ConversionPercents percents) {
        firstConverting.Open();
        secondConverting.Wait();
        CompressFile(source, output, percents);
    };
    auto releaseFirst = [=](const std::string& source, const std::string& output,
                            ConversionPercents percents) {
        secondConverting.Open();
        CompressFile(source, output, percents);
    };

    TEndLatch firstEnd;
    TEndLatch secondEnd;
    TUiThread firstUi;
    first.uiThread = firstUi.Id();
    auto firstWorker = std::make_unique<TCompressThread>(first, firstUi.PostFunction(),
                                                         firstEnd.Options(holdFirst));
    ASSERT_TRUE(firstConverting.Wait());
    // The first dialog is cancelled and goes away.
    firstUi.Do([&] {
        firstWorker->RequestStop();
        firstWorker.reset();
        first.closed = true;
    });
    {
        TUiThread secondUi;
        second.uiThread = secondUi.Id();
        TCompressThread secondWorker(second, secondUi.PostFunction(),
                                     secondEnd.Options(releaseFirst));
        EXPECT_EQ(secondEnd.Wait(), TBatchEnd::Finished);
        secondUi.Do([] {});
    }
    EXPECT_EQ(firstEnd.Wait(), TBatchEnd::Stopped);
    firstUi.Do([] {});

    EXPECT_EQ(first.callsAfterClose, 0);
    EXPECT_TRUE(first.reports.empty());
    EXPECT_EQ(outputs_.Entries(), std::vector<std::string>{"a0.jpg"});
    EXPECT_EQ(test::ReadBytes(outputs_.File("a0.jpg")), Expected(0, {30, 80}));

    EXPECT_EQ(second.reports, (std::vector<uint16_t>{25, 50, 75, 100}));
    EXPECT_EQ(second.finishes, 1);
    EXPECT_EQ(secondOutputs.Entries().size(), 4u);
    EXPECT_EQ(test::ReadBytes(secondOutputs.File("a3.jpg")), Expected(3, {10, 100}));
    EXPECT_EQ(StoredSetting(kCompressPreKey), "10");
    EXPECT_EQ(StoredSetting(kResizePreKey), "100");
}

}  // namespace
}  // namespace velmora
