// What a batch worker needs of the window that started it. Every operation is called on the
// user-interface thread while the worker waits for it, one at a time; none begins after the
// worker was asked to stop.
#pragma once

#include <cstdint>
#include <string>

namespace velmora {

struct TSliderPositions {
    int compressPercent = 0;  // 0..100
    int resizePercent = 0;    // 0..100
};

class TCompressHost {
  public:
    virtual ~TCompressHost() = default;

    // The picture list, in list order.
    virtual int32_t EntryCount() = 0;
    virtual bool EntrySelected(int32_t index) = 0;
    // The entry's full file-system path.
    virtual std::string EntryPath(int32_t index) = 0;
    virtual int32_t SelectedCount() = 0;

    // The directory the batch writes into, as the file system's bytes; a full path.
    virtual std::string OutputDirectory() = 0;
    // The two sliders at this moment.
    virtual TSliderPositions SliderPositions() = 0;

    // Shows how far the batch has got, 0..100.
    virtual void ReportPercent(uint16_t percent) = 0;
    // Every selected file converted and the percents stored: the finished state.
    virtual void Finish() = 0;
    // The batch ended on an error: shows the message (which names the file being converted),
    // then the finished state, with the output directory offered only when a file was
    // written there.
    virtual void Fail(const std::string& message, bool anyFileWritten) = 0;
};

}  // namespace velmora
