#include "compress_file.h"

#include <new>

#include "conversion_budget.h"
#include "conversion_stages.h"
#include "errors.h"
#include "file_io.h"
#include "jpeg_file.h"
#include "jpeg_image.h"
#include "jpeg_reader.h"

namespace velmora {

namespace {

// Whether the source has multiple scans, read the way loading a picture reads it (a header
// that this reading refuses fails here, with the same code as loading would).
bool HasMultipleScans(const std::vector<uint8_t>& bytes) {
    jpeg::JpegReader reader(bytes.data(), bytes.size());
    reader.ReadHeader(false);
    return reader.Progressive();
}

}  // namespace

std::vector<uint8_t> CompressBytes(std::vector<uint8_t> source, ConversionPercents percents,
                                   TMetadataKept kept, TStageThreads threads,
                                   const std::function<void()>& coreFreed) {
    percents.Check();
    const TJPEGDecodeDepth depth = TJPEGImage::DefaultDecodeDepth();
    const bool progressive = HasMultipleScans(source);
    CheckConversionBudget(source, percents.Resize(), depth);
    // A second thread is worth its buffers only where they fit the bound too.
    if (threads != TStageThreads::kOne &&
        ConversionBytes(source, percents.Resize(), depth, TStageThreads::kTwo) >
            jpeg::DecodedBytesLimit()) {
        threads = TStageThreads::kOne;
    }
    return RunConversionStages(std::move(source),
                               {percents, kept, depth, progressive, threads, coreFreed});
}

void CompressFile(const std::string& source, const std::string& output, ConversionPercents percents,
                  TNonRegular nonRegular) {
    percents.Check();
    std::vector<uint8_t> bytes;
    try {
        bytes = CompressBytes(jpeg::ReadJpegFile(source, nonRegular), percents);
    } catch (const std::bad_alloc&) {
        throw EOutOfMemory();
    }
    WriteConversion(source, output, bytes);
}

void WriteConversion(const std::string& source, const std::string& output,
                     const std::vector<uint8_t>& bytes) {
    // A side shrunk to nothing gives an empty file, which must never take the place of the
    // photograph it came from.
    if (bytes.empty() && SameFile(source, output)) {
        throw EFCreateError(output, "The output would be empty and replace its own source");
    }
    WriteFileReplacing(output, bytes.data(), bytes.size());
}

}  // namespace velmora
