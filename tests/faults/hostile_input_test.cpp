// Damaged and hostile input: the pictures and settings files that once broke the fuzzers (or
// were made to), run through decoding, conversion and the settings writer, and the bound on
// what a picture may make the decoder allocate.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "core/compress_file.h"
#include "core/errors.h"
#include "core/ini_file.h"
#include "core/jpeg_image.h"
#include "core/jpeg_reader.h"
#include "core/settings.h"
#include "support/jpeg_fixture.h"
#include "support/temp_dir.h"

namespace velmora::test {
namespace {

namespace fs = std::filesystem;

// Lowers the decoded-size bound for one test.
class ScopedDecodedBytesLimit {
  public:
    explicit ScopedDecodedBytesLimit(size_t bytes) { jpeg::SetDecodedBytesLimit(bytes); }
    ~ScopedDecodedBytesLimit() { jpeg::SetDecodedBytesLimit(jpeg::kMaxDecodedBytes); }
    ScopedDecodedBytesLimit(const ScopedDecodedBytesLimit&) = delete;
    ScopedDecodedBytesLimit& operator=(const ScopedDecodedBytesLimit&) = delete;
};

std::vector<fs::path> RegressionInputs(const std::string& extension) {
    std::vector<fs::path> paths;
    for (const auto& entry : fs::directory_iterator(VELMORA_FUZZ_REGRESSIONS_DIR)) {
        if (entry.path().extension() == extension) {
            paths.push_back(entry.path());
        }
    }
    std::sort(paths.begin(), paths.end());
    return paths;
}

// Each input decodes or fails with one of the system's errors, at both depths, and converts or
// fails likewise in both branches; on failure the old output stays. Memory errors show under
// the sanitizer build of the suite.
TEST(FuzzRegressions, PicturesDecodeAndConvertWithoutCrashing) {
    const std::vector<fs::path> inputs = RegressionInputs(".jpg");
    ASSERT_FALSE(inputs.empty());
    TempDir dir;
    for (const fs::path& input : inputs) {
        SCOPED_TRACE(input.filename().string());
        const std::vector<uint8_t> bytes = ReadBytes(input.string());
        for (TJPEGDecodeDepth depth : {TJPEGDecodeDepth::jd24bit, TJPEGDecodeDepth::jd8bit}) {
            TJPEGImage picture;
            picture.SetDecodeDepth(depth);
            try {
                picture.LoadPictureBytes(bytes);
                picture.Pixels();
            } catch (const Exception&) {
            }
        }
        for (int resize : {100, 50}) {
            WriteBytes(dir.File("out.jpg"), {'o', 'l', 'd'});
            try {
                CompressFile(input.string(), dir.File("out.jpg"), 25, resize);
            } catch (const Exception&) {
                EXPECT_EQ(ReadBytes(dir.File("out.jpg")), (std::vector<uint8_t>{'o', 'l', 'd'}));
            }
        }
    }
}

// Writing one setting into each file reads back as written and leaves every other value as
// it read before.
TEST(FuzzRegressions, SettingsWritesKeepEveryOtherValue) {
    const std::vector<std::pair<std::string, std::string>> settings = {
        {kSettingsSection, kOutPathKey},
        {kSettingsSection, kCompressPreKey},
        {kSettingsSection, kResizePreKey},
        {"其他", "键"},
    };
    const std::vector<fs::path> inputs = RegressionInputs(".ini");
    ASSERT_FALSE(inputs.empty());
    TempDir dir;
    const std::string path = dir.File(kSettingsFileName);
    const auto readAll = [&] {
        std::vector<std::string> values;
        for (const auto& [section, key] : settings) {
            values.push_back(TIniFile(path).ReadSetting(section, key, "missing"));
        }
        return values;
    };
    for (const fs::path& input : inputs) {
        for (size_t written = 0; written < settings.size(); ++written) {
            SCOPED_TRACE(input.filename().string() + ", writing " + settings[written].second);
            fs::copy_file(input, path, fs::copy_options::overwrite_existing);
            std::vector<std::string> expected = readAll();
            TIniFile(path).WriteSetting(settings[written].first, settings[written].second, "42");
            expected[written] = "42";
            EXPECT_EQ(readAll(), expected);
        }
    }
}

// A progressive picture needs a coefficient buffer for the whole picture (two bytes per
// sample) before the first row comes out; that buffer is held to the same bound as the pixels.
TEST(DecodedSizeBound, HoldsForTheCoefficientBufferOfProgressivePictures) {
    const RawImage gray = MakePattern(900, 900, 1);
    // 900 × 900 gray pixels are 810000 bytes; their coefficients twice that.
    const ScopedDecodedBytesLimit limit(1 << 20);
    struct Case {
        bool progressive;
        bool refused;
    };
    for (const Case c : {Case{false, false}, Case{true, true}}) {
        TJPEGImage picture;
        picture.LoadPictureBytes(
            EncodeJpeg(gray, {.model = ColorModel::kGrayscale, .progressive = c.progressive}));
        if (c.refused) {
            EXPECT_THROW(picture.Pixels(), EJPEG);
            EXPECT_TRUE(picture.Pixels().Empty());
        } else {
            EXPECT_EQ(picture.Pixels().Width(), 900);
        }
    }
}

}  // namespace
}  // namespace velmora::test
