// Limits and helpers shared by the fuzz targets.
#pragma once

#include <cstddef>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

namespace velmora::fuzz {

// Decoded pictures (and libjpeg's buffers) above 4 MiB are refused while fuzzing, so that a
// header claiming a huge picture costs milliseconds instead of the sanitizer's memory budget.
// The size checks themselves are the same as under the real bound.
inline constexpr size_t kDecodedBytesLimit = size_t{1} << 22;
// A conversion decodes and encodes twice and writes a file: a quarter of that keeps it quick.
inline constexpr size_t kConversionDecodedBytesLimit = size_t{1} << 20;

// A broken expectation is a finding: aborting makes libFuzzer keep the input.
inline void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

// A fresh directory for the target's files, removed with everything in it when the fuzzer
// exits. Called once, from LLVMFuzzerInitialize.
inline std::string MakeWorkDirectory() {
    static std::string path;
    std::string pattern = (std::filesystem::temp_directory_path() / "velmora-fuzz-XXXXXX").string();
    Check(::mkdtemp(pattern.data()) != nullptr);
    path = pattern;
    std::atexit([] {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    });
    return path;
}

}  // namespace velmora::fuzz
