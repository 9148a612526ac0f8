#include "compress_thread.h"

#include <cstdint>
#include <exception>
#include <memory>
#include <new>
#include <thread>
#include <type_traits>
#include <utility>

#include "batch_output.h"
#include "compress_file.h"
#include "errors.h"
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

    // An error ends the run where it happens; the host is told of it, unless it has gone.
    TBatchEnd Run() {
        try {
            Walk();
            return TBatchEnd::Finished;
        } catch (const TStopped&) {
            return TBatchEnd::Stopped;
        } catch (...) {
            TellFailure(FailureMessage(std::current_exception()));
            return TBatchEnd::Failed;
        }
    }

  private:
    void Walk() {
        TCompressHost* host = batch_.host;
        const int32_t count = Ask([host] { return host->EntryCount(); });
        for (int32_t index = 0; index < count; ++index) {
            if (!Ask([host, index] { return host->EntrySelected(index); })) {
                continue;
            }
            ConvertEntry(index);
            ++converted_;
            const int32_t selected = Ask([host] { return host->SelectedCount(); });
            const uint16_t percent = ProgressPercent(converted_, selected);
            Tell([host, percent] { host->ReportPercent(percent); });
        }
        StorePercents();
        Tell([host] { host->Finish(); });
    }

    void ConvertEntry(int32_t index) {
        TCompressHost* host = batch_.host;
        const std::string source = Ask([host, index] { return host->EntryPath(index); });
        converting_ = source;
        const std::string output =
            BatchOutputPath(Ask([host] { return host->OutputDirectory(); }), source);
        const TSliderPositions positions = Ask([host] { return host->SliderPositions(); });
        StopIfRequested();
        batch_.convert(
            source, output,
            {CompressPercent(positions.compressPercent), ResizePercent(positions.resizePercent)});
        converting_.clear();
    }

    // The error's own message, after the file it happened to when it happened to one (a
    // failed settings write names the settings file itself).
    std::string FailureMessage(const std::exception_ptr& error) const {
        std::string message;
        try {
            std::rethrow_exception(error);
        } catch (const std::bad_alloc&) {
            message = EOutOfMemory().what();
        } catch (const std::exception& e) {
            message = e.what();
        } catch (...) {
            message = "Unknown error";
        }
        if (converting_.empty()) {
            return message;
        }
        return "Cannot convert \"" + converting_ + "\". " + message;
    }

    // A host that has gone is not told; the run ends all the same.
    void TellFailure(const std::string& message) {
        TCompressHost* host = batch_.host;
        const bool anyFileWritten = converted_ > 0;
        try {
            Tell([host, message, anyFileWritten] { host->Fail(message, anyFileWritten); });
        } catch (const TStopped&) {
            // The dialog closed meanwhile: nobody is left to show it to.
        }
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
    int32_t converted_ = 0;
    // The source path of the entry being converted, empty between files.
    std::string converting_;
};

void RunBatch(std::shared_ptr<TBatch> batch, const std::function<void(TBatchEnd)>& onEnded) {
    TBatchEnd end = TBatchEnd::Failed;
    try {
        end = TWalk(*batch).Run();
    } catch (...) {
        // Telling the host failed too (no memory left for the message): the batch ends
        // without a word rather than ending the program.
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
    if (const auto problem = OutputDirectoryProblem({directory, false})) {
        throw Exception(*problem);
    }
    return OutputPathIn(directory, FileNameOf(entryPath));
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
