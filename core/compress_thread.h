// The batch worker: converts every selected entry of the picture list into the output
// directory on a thread of its own, reporting a whole percent after each file, then stores
// the two percents in the settings file and puts its host into the finished state.
#pragma once

#include <functional>
#include <string>

#include "compress_host.h"
#include "conversion_percents.h"
#include "ui_handover.h"

namespace velmora {

enum class TBatchEnd {
    Finished,  // every selected file converted, the percents stored, the host finished
    Stopped,   // a stop was requested, or the host's side went away
    Failed,    // a conversion, a host operation or the settings write raised an error
};

using TConvertFunction = std::function<void(const std::string& source, const std::string& output,
                                            ConversionPercents percents)>;

struct TCompressThreadOptions {
    // Converts one file; CompressFile when empty.
    TConvertFunction convert;
    // Called on the worker thread as its very last action, after it has let go of the host
    // and the hand-over; for whoever needs to know that a worker has ended.
    std::function<void(TBatchEnd)> onEnded;
};

// The output path of an entry: the directory text followed directly by the part of the
// entry path after its last "/" (no separator is added; an empty directory gives the bare
// file name, which lands in the current directory).
std::string BatchOutputPath(const std::string& directory, const std::string& entryPath);

// One worker per batch. It starts at once on a detached thread and runs once; nobody waits
// for it. Everything it uses is owned by the worker itself, so it may outlive this object
// and the host (a stopped worker still finishing its file while a new batch runs is fine).
// The settings file is the one SettingsFilePath() names at creation.
//
// The host is called only from tasks that postToUiThread hands to the UI thread; once a stop
// is requested no further operation begins. Request the stop (RequestStop, or destroying
// this object) before the host goes away; a Qt dialog does so when it closes and first thing
// in its destructor.
class TCompressThread {
  public:
    TCompressThread(TCompressHost& host, TPostToUiThread postToUiThread,
                    TCompressThreadOptions options = {});
    // Requests a stop; does not wait.
    ~TCompressThread();

    TCompressThread(const TCompressThread&) = delete;
    TCompressThread& operator=(const TCompressThread&) = delete;

    // Any thread; returns at once. The file being converted is completed; after it nothing
    // more is converted, reported or stored and the host is not called again. No effect on
    // a worker that has ended.
    void RequestStop();

  private:
    TUiHandover handover_;
};

}  // namespace velmora
