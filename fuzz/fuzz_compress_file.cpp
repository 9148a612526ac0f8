// Fuzz target: the whole single-file conversion on a fuzzed source file.
// The first input byte picks the compression and resize percents and whether the output
// replaces the source itself; the rest is the source file. Besides sanitizer findings, the
// target checks what a conversion leaves on disk: on success an output of the right size, on
// failure the old output untouched, and never a temporary file.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "core/compress_file.h"
#include "core/errors.h"
#include "core/jpeg_image.h"
#include "core/jpeg_reader.h"
#include "core/resize.h"
#include "fuzz_support.h"
#include "support/temp_dir.h"

namespace {

using velmora::fuzz::Check;
using velmora::test::ReadBytes;
using velmora::test::WriteBytes;

struct Percents {
    int compress;
    int resize;
};

// Full size at a few qualities (quality 0 included), the shrink branch at several scales,
// and 0 % (an empty output).
constexpr Percents kPercents[8] = {{25, 100}, {0, 100}, {100, 100}, {25, 50},
                                   {90, 33},  {0, 1},   {60, 99},   {25, 0}};
constexpr uint8_t kReplaceSourceBit = 0x08;
const std::vector<uint8_t> kOldOutput = {'o', 'l', 'd'};

std::string workDirectory;

// The crash-safe writer's temporary files must never outlive a call.
void CheckNoTemporaryFiles() {
    for (const auto& entry : std::filesystem::directory_iterator(workDirectory)) {
        Check(entry.path().filename().string().find("velmora-") == std::string::npos);
    }
}

// A successful conversion wrote a JPEG of the source's size scaled by the resize percent, or
// an empty file when a side rounds to 0.
void CheckOutput(const std::string& output, int sourceWidth, int sourceHeight, int resize) {
    const int width = resize == 100 ? sourceWidth : velmora::PercentSize(sourceWidth, resize);
    const int height = resize == 100 ? sourceHeight : velmora::PercentSize(sourceHeight, resize);
    std::vector<uint8_t> bytes = ReadBytes(output);
    if (width == 0 || height == 0) {
        Check(bytes.empty());
        return;
    }
    velmora::TJPEGImage picture;
    picture.LoadPictureBytes(std::move(bytes));
    Check(picture.Width() == width && picture.Height() == height);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    velmora::jpeg::SetDecodedBytesLimit(velmora::fuzz::kConversionDecodedBytesLimit);
    workDirectory = velmora::fuzz::MakeWorkDirectory();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) {
        return 0;
    }
    const Percents percents = kPercents[data[0] % 8];
    const bool replaceSource = (data[0] & kReplaceSourceBit) != 0;
    const std::string source = workDirectory + "/source.jpg";
    const std::string output = replaceSource ? source : workDirectory + "/output.jpg";
    const std::vector<uint8_t> sourceBytes(data + 1, data + size);
    WriteBytes(source, sourceBytes);
    if (!replaceSource) {
        WriteBytes(output, kOldOutput);
    }

    // The source's size as its header tells it, when it has a readable header at all.
    int width = -1, height = -1;
    try {
        velmora::TJPEGImage header;
        header.LoadPictureBytes(sourceBytes);
        width = header.Width();
        height = header.Height();
    } catch (const velmora::Exception&) {
    }

    bool converted = true;
    try {
        velmora::CompressFile(
            source, output,
            {velmora::CompressPercent(percents.compress), velmora::ResizePercent(percents.resize)});
    } catch (const velmora::Exception&) {
        converted = false;
    }
    if (converted) {
        Check(width > 0 && height > 0);
        CheckOutput(output, width, height, percents.resize);
    } else if (replaceSource) {
        Check(ReadBytes(source) == sourceBytes);
    } else {
        Check(ReadBytes(output) == kOldOutput);
    }
    CheckNoTemporaryFiles();
    return 0;
}
