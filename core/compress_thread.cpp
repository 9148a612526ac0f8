#include "compress_thread.h"

#include <cstdint>
#include <memory>
#include <thread>
#include <type_traits>
#include <utility>

#include "compress_file.h"
#include "file_io.h"
#include "ini_file.h"
#include "progress_percent.h"
#include "settings.h"

namespace velmora {

namespace {

// What one run needs, owned by the worker thread.
struct TBatch {
    TCompressHost* host;
    TUiHandover handover;
    TConvertFunction convert;
    std::string settingsFile;
};

// Raised inside the walk when a host operation was not carried out because of a stop.
struct TStopped {};

// Every host operation asked for after a stop ends the run (TStopped), so a stop during a
// conversion keeps that file and reports nothing more.
class TWalk {
  public:
    explicit TWalk(TBatch& batch) : batch_(batch) {}

    TBatchEnd Run() {
        TCompressHost* host = batch_.host;
        const int32_t count = Ask([host] { return host->EntryCount(); });
        int32_t converted = 0;
        for (int32_t index = 0; index < count; ++index) {
            if (!Ask([host, index] { return host->EntrySelected(index); })) {
                continue;
            }
            ConvertEntry(index);
            ++converted;
            const int32_t selected = Ask([host] { return host->SelectedCount(); });
            const uint16_t percent = ProgressPercent(converted, selected);
            Tell([host, percent] { host->ReportPercent(percent); });
        }
        StorePercents();
        Tell([host] { host->Finish(); });
        return TBatchEnd::Finished;
    }

  private:
    void ConvertEntry(int32_t index) {
        TCompressHost* host = batch_.host;
        const std::string source = Ask([host, index] { return host->EntryPath(index); });
        const std::string output =
            BatchOutputPath(Ask([host] { return host->OutputDirectory(); }), source);
        const TSliderPositions positions = Ask([host] { return host->SliderPositions(); });
        StopIfRequested();
        batch_.convert(
            source, output,
            {CompressPercent(positions.compressPercent), ResizePercent(positions.resizePercent)});
    }

    // The positions as the sliders show them now, compression percent first.
    void StorePercents() {
        TCompressHost* host = batch_.host;
        const TSliderPositions positions = Ask([host] { return host->SliderPositions(); });
        StopIfRequested();
        TIniFile settings(batch_.settingsFile);
        settings.WriteSetting(kSettingsSection, kCompressPreKey,
                              IntToStr(positions.compressPercent));
        settings.WriteSetting(kSettingsSection, kResizePreKey, IntToStr(positions.resizePercent));
    }

    // A stop can come while the UI thread serves an operation, which is then completed; it
    // still keeps the next file from being converted and the percents from being stored.
    void StopIfRequested() const {
        if (batch_.handover.StopRequested()) {
            throw TStopped{};
        }
    }

    template <class Operation>
    std::invoke_result_t<Operation&> Ask(Operation operation) {
        auto result = batch_.handover.Ask(std::move(operation));
        if (!result) {
            throw TStopped{};
        }
        return std::move(*result);
    }

    void Tell(std::function<void()> operation) {
        if (!batch_.handover.Run(std::move(operation))) {
            throw TStopped{};
        }
    }

    TBatch& batch_;
};

void RunBatch(std::shared_ptr<TBatch> batch, const std::function<void(TBatchEnd)>& onEnded) {
    TBatchEnd end = TBatchEnd::Failed;
    try {
        end = TWalk(*batch).Run();
    } catch (const TStopped&) {
        end = TBatchEnd::Stopped;
    } catch (...) {
        // The batch ends at the failing step without a message; the program goes on.
        end = TBatchEnd::Failed;
    }
    batch.reset();
    if (onEnded) {
        try {
            onEnded(end);
        } catch (...) {
            // Nothing is left to tell; an escaping error would end the program.
        }
    }
}

}  // namespace

std::string BatchOutputPath(const std::string& directory, const std::string& entryPath) {
    return directory + FileNameOf(entryPath);
}

TCompressThread::TCompressThread(TCompressHost& host, TPostToUiThread postToUiThread,
                                 TCompressThreadOptions options)
    : handover_(std::move(postToUiThread)) {
    auto batch = std::make_shared<TBatch>(TBatch{
        &host,
        handover_,
        options.convert ? std::move(options.convert)
                        : TConvertFunction([](const std::string& source, const std::string& output,
                                              ConversionPercents percents) {
                              CompressFile(source, output, percents);
                          }),
        // Taken here so that the worker reads no global, not even at program exit.
        SettingsFilePath(),
    });
    std::thread(RunBatch, std::move(batch), std::move(options.onEnded)).detach();
}

TCompressThread::~TCompressThread() {
    handover_.RequestStop();
}

void TCompressThread::RequestStop() {
    handover_.RequestStop();
}

}  // namespace velmora
