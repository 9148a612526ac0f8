// Damaged and hostile input: the pictures and settings files that once broke the fuzzers (or
// were made to), run through decoding, conversion and the settings writer, and the bound on
// what a picture may make the decoder, or a whole conversion, allocate.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <jerror.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "core/compress_file.h"
#include "core/errors.h"
#include "core/ini_file.h"
#include "core/jpeg_image.h"
#include "core/jpeg_reader.h"
#include "core/settings.h"
#include "support/decoded_bytes_limit.h"
#include "support/jpeg_fixture.h"
#include "support/temp_dir.h"

namespace velmora::test {
namespace {

namespace fs = std::filesystem;

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
                CompressFile(input.string(), dir.File("out.jpg"),
                             {CompressPercent(25), ResizePercent(resize)});
            } catch (const Exception&) {
                EXPECT_EQ(ReadBytes(dir.File("out.jpg")), (std::vector<uint8_t>{'o', 'l', 'd'}));
            }
        }
    }
}

// Files whose header reads but whose decoding fails before its first row: the picture holds its
// header's size until it is decoded, then fails once and is empty (no side claims a size that
// no row was decoded for), at both depths; the conversion fails with the same error.
TEST(FailingBeforeTheFirstRow, HeaderReadsDecodingFailsOnceAndLeavesNoArea) {
    TempDir dir;
    for (const NamedJpeg& damaged : FailingBeforeTheFirstRow()) {
        SCOPED_TRACE(damaged.name);
        for (TJPEGDecodeDepth depth : {TJPEGDecodeDepth::jd24bit, TJPEGDecodeDepth::jd8bit}) {
            TJPEGImage picture;
            picture.SetDecodeDepth(depth);
            ASSERT_NO_THROW(picture.LoadPictureBytes(damaged.bytes));
            EXPECT_GT(picture.Width(), 0);
            EXPECT_FALSE(picture.Empty());
            EXPECT_THROW(picture.Pixels(), EJPEG);
            EXPECT_NO_THROW(picture.Pixels());
            EXPECT_TRUE(picture.Empty());
            EXPECT_EQ(picture.Width(), 0);
            EXPECT_EQ(picture.Height(), 0);
        }
        WriteBytes(dir.File("in.jpg"), damaged.bytes);
        EXPECT_THROW(CompressFile(dir.File("in.jpg"), dir.File("out.jpg"),
                                  {CompressPercent(25), ResizePercent(50)}),
                     EJPEG);
        EXPECT_FALSE(fs::exists(dir.File("out.jpg")));
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
        values.reserve(settings.size());
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

// The bound holds for all that one conversion allocates: a progressive source is decoded and
// encoded again progressively, each with a coefficient buffer for the whole picture, which
// together are over a bound that either alone is within. A baseline source of the same size
// streams through in rows.
TEST(ConversionBound, HoldsForTheDecoderAndTheEncoderTogether) {
    const RawImage colour = MakePattern(1200, 1000);
    // Each coefficient buffer is 1200 × 1000 × 1.5 samples × 2 bytes = 3.6 MB; the rest of
    // what the conversion holds is some 3 MB. A progressive source needs two at full size (its
    // decoder's and the progressive encoder's), one when shrunk (the encoding at the quality
    // is then baseline).
    const ScopedDecodedBytesLimit limit(8 << 20);
    struct Case {
        const char* name;
        std::vector<uint8_t> source;
        int resize;
        bool refused;
    };
    const std::vector<Case> cases = {
        {"baseline", EncodeJpeg(colour), 100, false},
        {"baseline, shrunk", EncodeJpeg(colour), 50, false},
        {"progressive", EncodeJpeg(colour, {.progressive = true}), 100, true},
        {"progressive, shrunk", EncodeJpeg(colour, {.progressive = true}), 50, false},
        {"progressive, shrunk to nothing", EncodeJpeg(colour, {.progressive = true}), 0, false},
    };
    TempDir dir;
    for (const Case& c : cases) {
        WriteBytes(dir.File("in.jpg"), c.source);
        WriteBytes(dir.File("out.jpg"), {'o', 'l', 'd'});
        try {
            CompressFile(dir.File("in.jpg"), dir.File("out.jpg"),
                         {CompressPercent(25), ResizePercent(c.resize)});
            EXPECT_FALSE(c.refused) << c.name;
        } catch (const EJPEG& error) {
            EXPECT_TRUE(c.refused) << c.name << ": " << error.what();
            EXPECT_EQ(error.Code(), JERR_IMAGE_TOO_BIG) << c.name;
            EXPECT_EQ(ReadBytes(dir.File("out.jpg")), (std::vector<uint8_t>{'o', 'l', 'd'}));
        }
        // Decoding alone (the preview) stays within the bound.
        TJPEGImage picture;
        picture.LoadPictureBytes(c.source);
        EXPECT_EQ(picture.Pixels().Width(), 1200) << c.name;
    }
}

// A pipe says nothing of its length: it is read to the bound and refused beyond it.
TEST(ConversionBound, HoldsForAPipeReadToItsEnd) {
    const ScopedDecodedBytesLimit limit(100000);
    TempDir dir;
    ASSERT_EQ(::mkfifo(dir.File("pipe.jpg").c_str(), 0644), 0);
    std::vector<uint8_t> stream(200000, 0);
    stream[0] = 0xFF;
    stream[1] = 0xD8;
    std::thread writer([&] {
        // The reader stops early: the write fails instead of ending the program.
        sigset_t pipeSignal;
        sigemptyset(&pipeSignal);
        sigaddset(&pipeSignal, SIGPIPE);
        pthread_sigmask(SIG_BLOCK, &pipeSignal, nullptr);
        const int fd = ::open(dir.File("pipe.jpg").c_str(), O_WRONLY);
        for (size_t done = 0; done < stream.size();) {
            const ssize_t n = ::write(fd, stream.data() + done, stream.size() - done);
            if (n <= 0) {
                break;  // the reader gave up
            }
            done += static_cast<size_t>(n);
        }
        ::close(fd);
    });
    try {
        CompressFile(dir.File("pipe.jpg"), dir.File("out.jpg"),
                     {CompressPercent(25), ResizePercent(100)}, TNonRegular::ReadToEnd);
        ADD_FAILURE() << "no error";
    } catch (const EFOpenError& error) {
        EXPECT_EQ(std::string(error.what()),
                  "Cannot open file \"" + dir.File("pipe.jpg") + "\". File too large");
    }
    writer.join();
    EXPECT_FALSE(fs::exists(dir.File("out.jpg")));
}

TEST(ScanLimit, ProgressivePicturesWithExcessiveScansAreRefused) {
    const std::vector<uint8_t> progressive =
        EncodeJpeg(MakePattern(64, 48, 1), {.model = ColorModel::kGrayscale, .progressive = true});
    struct Case {
        int scans;
        bool refused;
    };
    for (const Case c : {Case{jpeg::kMaxScans, false}, Case{jpeg::kMaxScans + 1, true}}) {
        TJPEGImage picture;
        picture.LoadPictureBytes(WithScans(progressive, c.scans));
        if (c.refused) {
            try {
                picture.Pixels();
                ADD_FAILURE() << c.scans << " scans decoded";
            } catch (const EJPEG& error) {
                EXPECT_EQ(error.Code(), JERR_BAD_PROGRESSION);
            }
        } else {
            EXPECT_EQ(picture.Pixels().Width(), 64) << c.scans << " scans";
        }
    }
}

}  // namespace
}  // namespace velmora::test
