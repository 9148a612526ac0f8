// Small JPEG files of every kind the converter meets, written with libjpeg directly so that
// the tests do not depend on the code they test.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace velmora::test {

// Pixels as rows of red, green, blue bytes (or one byte per pixel for other component
// counts), tightly packed.
struct RawImage {
    int width = 0;
    int height = 0;
    int components = 3;
    std::vector<uint8_t> samples;

    uint8_t* Pixel(int x, int y) { return &samples[(size_t(y) * width + x) * components]; }
    const uint8_t* Pixel(int x, int y) const {
        return &samples[(size_t(y) * width + x) * components];
    }
};

// A photograph-like pattern: smooth gradients with some detail, deterministic.
RawImage MakePattern(int width, int height, int components = 3, unsigned seed = 1);
RawImage MakeSolid(int width, int height, uint8_t red, uint8_t green, uint8_t blue);

enum class ColorModel { kYCbCr, kGrayscale, kRgb, kCmykAdobe, kCmykPlain, kYcck, kTwoComponents };

struct EncodeOptions {
    int quality = 90;
    ColorModel model = ColorModel::kYCbCr;
    bool progressive = false;
    bool arithmetic = false;
    bool optimize = false;
    int restartInterval = 0;  // MCUs between restart markers; 0: none
    int hSampling = 2;        // luminance sampling factors; 1×1 gives 4:4:4
    int vSampling = 2;
    int exifOrientation = 0;     // 0: no EXIF marker
    bool exifWithGps = false;    // add an unrelated GPS IFD pointer tag before the orientation
    bool xmpBeforeExif = false;  // an XMP packet in an APP1 marker ahead of the EXIF one
    std::vector<uint8_t> iccProfile{};
    // Written as they stand after the XMP and EXIF markers, before the profile.
    std::vector<std::pair<int, std::vector<uint8_t>>> markers{};
};

std::vector<uint8_t> EncodeJpeg(const RawImage& image, const EncodeOptions& options = {});

// The reference decoding of the system's profile (block smoothing, float DCT, fancy
// upsampling) to red, green, blue rows; grayscale stays one component (not quantized).
RawImage DecodeReference(const std::vector<uint8_t>& bytes);

// What a file's markers say.
struct JpegFacts {
    bool progressive = false;  // SOF2
    bool baseline = false;     // SOF0
    int components = 0;
    int width = 0;
    int height = 0;
    std::vector<std::vector<int>> quantTables;  // in zig-zag order, as stored
    bool hasJfif = false;
    int jfifMajor = 0, jfifMinor = 0, densityUnit = -1, xDensity = 0, yDensity = 0;
    int app1Count = 0;               // EXIF and other APP1 markers
    std::vector<uint8_t> firstApp1;  // body of the first APP1
    int app2Count = 0;
    std::vector<std::pair<int, int>> sampling;  // per component (h, v)
    // APP1..APP15 and comment markers (code, body), in file order; APP0 and APP2 (JFIF and the
    // colour profile) are left out.
    std::vector<std::pair<int, std::vector<uint8_t>>> metadataMarkers;
};
JpegFacts ReadFacts(const std::vector<uint8_t>& bytes);

// A fake ICC profile of the given size (valid enough for carrying, not for colour management)
// whose header names the colour space ("RGB ", "GRAY", "CMYK"; four characters).
std::vector<uint8_t> MakeIccProfile(size_t size, const char* colourSpace = "RGB ");

// Byte patches that turn a valid file into a hostile one. They raise std::invalid_argument
// when the file lacks what they patch.

// The first frame header (baseline or progressive) made to claim width × height; the data
// stays that of the real picture and ends long before the claimed one would.
std::vector<uint8_t> ClaimingFrameSize(std::vector<uint8_t> jpeg, int width, int height);
// A broken Huffman table definition (table index 15) spliced in after the scan, just before
// the end marker: a decoder meets it only when it finishes decoding.
std::vector<uint8_t> WithBadTableAfterScan(std::vector<uint8_t> jpeg);

// Damage that the header survives but decoding meets before its first row: libjpeg refuses
// the picture while it starts decoding, so not a single row comes out.
// Scan number `scan` (from 0) made to end before it starts (spectral selection 63..0).
std::vector<uint8_t> WithBadScan(std::vector<uint8_t> jpeg, int scan);
// Cut just after the table class byte of the first Huffman table segment behind scan number
// `scan`, as a download that stopped there: the rest reads as the source's end-of-data fill.
std::vector<uint8_t> CutInsideTableAfterScan(std::vector<uint8_t> jpeg, int scan);
// Without its quantization table segments.
std::vector<uint8_t> WithoutQuantizationTables(std::vector<uint8_t> jpeg);

struct NamedJpeg {
    std::string name;
    std::vector<uint8_t> bytes;
};
// One file of each such kind: progressive with a bad first and a bad third scan, cut inside a
// Huffman table, baseline without quantization tables, and a tiny one claiming 30000 × 30000.
std::vector<NamedJpeg> FailingBeforeTheFirstRow();

}  // namespace velmora::test
