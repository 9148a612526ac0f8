// Fuzz target: the whole single-file conversion on a fuzzed source file.
// The first input byte picks the compression and resize percents and whether the output
// replaces the source itself; the rest is the source file. Besides sanitizer findings, the
// target checks what a conversion leaves on disk: on success an output of the right size, on
// failure the old output untouched, and never a temporary file.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "core/compress_file.h"
#include "core/errors.h"
#include "core/jpeg_image.h"
#include "core/jpeg_reader.h"
#include "core/resize.h"
#include "fuzz_limits.h"

namespace {

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

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

void RemoveWorkDirectory() {
    std::error_code ignored;
    std::filesystem::remove_all(workDirectory, ignored);
}

void WriteFile(const std::string& path, const uint8_t* data, size_t size) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    Check(static_cast<bool>(out));
}

std::vector<uint8_t> ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    Check(static_cast<bool>(in));
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

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
    std::vector<uint8_t> bytes = ReadFile(output);
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
    std::string pattern = (std::filesystem::temp_directory_path() / "velmora-fuzz-XXXXXX").string();
    Check(::mkdtemp(pattern.data()) != nullptr);
    workDirectory = pattern;
    std::atexit(RemoveWorkDirectory);
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
    WriteFile(source, data + 1, size - 1);
    if (!replaceSource) {
        WriteFile(output, kOldOutput.data(), kOldOutput.size());
    }

    // The source's size as its header tells it, when it has a readable header at all.
    int width = -1, height = -1;
    try {
        velmora::TJPEGImage header;
        header.LoadPictureBytes(std::vector<uint8_t>(data + 1, data + size));
        width = header.Width();
        height = header.Height();
    } catch (const velmora::Exception&) {
    }

    bool converted = true;
    try {
        velmora::CompressFile(source, output, percents.compress, percents.resize);
    } catch (const velmora::Exception&) {
        converted = false;
    }
    if (converted) {
        Check(width > 0 && height > 0);
        CheckOutput(output, width, height, percents.resize);
    } else if (replaceSource) {
        Check(ReadFile(source) == std::vector<uint8_t>(data + 1, data + size));
    } else {
        Check(ReadFile(output) == kOldOutput);
    }
    CheckNoTemporaryFiles();
    return 0;
}
