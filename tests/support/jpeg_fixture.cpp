#include "jpeg_fixture.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>

#include <jpeglib.h>

namespace velmora::test {

namespace {

std::vector<uint8_t> MakeExif(int orientation, bool withGps) {
    // Little-endian TIFF with one or two IFD0 entries.
    std::vector<uint8_t> exif = {'E', 'x', 'i', 'f', 0, 0, 'I', 'I', 42, 0, 8, 0, 0, 0};
    const uint8_t entries = withGps ? 2 : 1;
    exif.insert(exif.end(), {entries, 0});
    if (withGps) {
        // GPS IFD pointer (tag 0x8825, LONG) pointing past the end: carried data we must drop.
        exif.insert(exif.end(), {0x25, 0x88, 4, 0, 1, 0, 0, 0, 0x40, 0, 0, 0});
    }
    exif.insert(exif.end(), {0x12, 0x01, 3, 0, 1, 0, 0, 0, uint8_t(orientation), 0, 0, 0});
    exif.insert(exif.end(), {0, 0, 0, 0});
    if (withGps) {
        exif.insert(exif.end(), {'G', 'P', 'S', '-', 'd', 'a', 't', 'a'});
    }
    return exif;
}

void Configure(jpeg_compress_struct& cinfo, const RawImage& image, const EncodeOptions& options) {
    cinfo.image_width = JDIMENSION(image.width);
    cinfo.image_height = JDIMENSION(image.height);
    cinfo.input_components = image.components;
    switch (options.model) {
        case ColorModel::kGrayscale:
            cinfo.in_color_space = JCS_GRAYSCALE;
            break;
        case ColorModel::kCmykAdobe:
        case ColorModel::kCmykPlain:
        case ColorModel::kYcck:
            cinfo.in_color_space = JCS_CMYK;
            break;
        case ColorModel::kTwoComponents:
            cinfo.in_color_space = JCS_UNKNOWN;
            break;
        default:
            cinfo.in_color_space = JCS_RGB;
            break;
    }
    jpeg_set_defaults(&cinfo);
    switch (options.model) {
        case ColorModel::kRgb:
            jpeg_set_colorspace(&cinfo, JCS_RGB);
            break;
        case ColorModel::kYcck:
            jpeg_set_colorspace(&cinfo, JCS_YCCK);
            break;
        case ColorModel::kCmykPlain:
            jpeg_set_colorspace(&cinfo, JCS_CMYK);
            cinfo.write_Adobe_marker = FALSE;
            break;
        case ColorModel::kTwoComponents:
            jpeg_set_colorspace(&cinfo, JCS_UNKNOWN);
            break;
        default:
            break;
    }
    // The program encodes with the float DCT; the tests compare its files byte for byte.
    cinfo.dct_method = JDCT_FLOAT;
    jpeg_set_quality(&cinfo, options.quality, TRUE);
    if (options.model == ColorModel::kYCbCr) {
        cinfo.comp_info[0].h_samp_factor = options.hSampling;
        cinfo.comp_info[0].v_samp_factor = options.vSampling;
    }
    cinfo.arith_code = options.arithmetic ? TRUE : FALSE;
    cinfo.optimize_coding = options.optimize ? TRUE : FALSE;
    cinfo.restart_interval = unsigned(options.restartInterval);
    if (options.progressive) {
        jpeg_simple_progression(&cinfo);
    }
}

}  // namespace

RawImage MakePattern(int width, int height, int components, unsigned seed) {
    RawImage image{width, height, components, {}};
    image.samples.resize(size_t(width) * height * components);
    unsigned noise = seed * 2654435761u;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            noise = noise * 1664525u + 1013904223u;
            for (int c = 0; c < components; ++c) {
                const double wave = std::sin((x + 7 * c) * 0.05) * std::cos((y + 3 * c) * 0.03);
                const int base =
                    (x * 255 / std::max(width, 1) + y * (60 + 40 * c) / std::max(height, 1));
                const int value = base / 2 + int(wave * 60) + int((noise >> (8 + c * 5)) % 16) + 64;
                image.Pixel(x, y)[c] = uint8_t(std::clamp(value, 0, 255));
            }
        }
    }
    return image;
}

RawImage MakeSolid(int width, int height, uint8_t red, uint8_t green, uint8_t blue) {
    RawImage image{width, height, 3, {}};
    image.samples.resize(size_t(width) * height * 3);
    for (size_t i = 0; i < image.samples.size(); i += 3) {
        image.samples[i] = red;
        image.samples[i + 1] = green;
        image.samples[i + 2] = blue;
    }
    return image;
}

std::vector<uint8_t> EncodeJpeg(const RawImage& image, const EncodeOptions& options) {
    jpeg_compress_struct cinfo{};
    jpeg_error_mgr errors{};
    cinfo.err = jpeg_std_error(&errors);
    jpeg_create_compress(&cinfo);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);
    Configure(cinfo, image, options);
    jpeg_start_compress(&cinfo, TRUE);
    if (options.xmpBeforeExif) {
        const std::string xmp = std::string("http://ns.adobe.com/xap/1.0/") + '\0' +
                                "<x:xmpmeta xmlns:x=\"adobe:ns:meta/\"/>";
        jpeg_write_marker(&cinfo, JPEG_APP0 + 1, reinterpret_cast<const JOCTET*>(xmp.data()),
                          unsigned(xmp.size()));
    }
    if (options.exifOrientation != 0) {
        const auto exif = MakeExif(options.exifOrientation, options.exifWithGps);
        jpeg_write_marker(&cinfo, JPEG_APP0 + 1, exif.data(), unsigned(exif.size()));
    }
    for (const auto& [code, body] : options.markers) {
        jpeg_write_marker(&cinfo, code, body.data(), unsigned(body.size()));
    }
    if (!options.iccProfile.empty()) {
        jpeg_write_icc_profile(&cinfo, options.iccProfile.data(),
                               unsigned(options.iccProfile.size()));
    }
    const size_t stride = size_t(image.width) * image.components;
    for (int y = 0; y < image.height; ++y) {
        JSAMPROW row = const_cast<JSAMPROW>(&image.samples[stride * y]);
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    std::vector<uint8_t> bytes(buffer, buffer + size);
    std::free(buffer);
    return bytes;
}

RawImage DecodeReference(const std::vector<uint8_t>& bytes) {
    jpeg_decompress_struct cinfo{};
    jpeg_error_mgr errors{};
    cinfo.err = jpeg_std_error(&errors);
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, bytes.data(), static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&cinfo, TRUE);
    cinfo.do_block_smoothing = TRUE;
    cinfo.dct_method = JDCT_FLOAT;
    if (cinfo.out_color_space != JCS_GRAYSCALE) {
        cinfo.out_color_space = JCS_RGB;
    }
    jpeg_start_decompress(&cinfo);
    RawImage image{int(cinfo.output_width), int(cinfo.output_height), cinfo.output_components, {}};
    image.samples.resize(size_t(image.width) * image.height * image.components);
    for (int y = 0; y < image.height; ++y) {
        JSAMPROW row = image.Pixel(0, y);
        jpeg_read_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return image;
}

JpegFacts ReadFacts(const std::vector<uint8_t>& bytes) {
    JpegFacts facts;
    size_t i = 2;
    while (i + 4 <= bytes.size() && bytes[i] == 0xFF) {
        const int marker = bytes[i + 1];
        const size_t length = size_t(bytes[i + 2]) << 8 | bytes[i + 3];
        const uint8_t* body = &bytes[i + 4];
        const size_t bodyLength = length - 2;
        if (i + 2 + length > bytes.size()) {
            break;
        }
        if ((marker >= 0xE1 && marker <= 0xEF && marker != 0xE2) || marker == 0xFE) {
            facts.metadataMarkers.emplace_back(marker,
                                               std::vector<uint8_t>(body, body + bodyLength));
        }
        if (marker == 0xE0 && bodyLength >= 14 && std::equal(body, body + 5, "JFIF")) {
            facts.hasJfif = true;
            facts.jfifMajor = body[5];
            facts.jfifMinor = body[6];
            facts.densityUnit = body[7];
            facts.xDensity = body[8] << 8 | body[9];
            facts.yDensity = body[10] << 8 | body[11];
        } else if (marker == 0xE1) {
            if (facts.app1Count++ == 0) {
                facts.firstApp1.assign(body, body + bodyLength);
            }
        } else if (marker == 0xE2) {
            ++facts.app2Count;
        } else if (marker == 0xDB) {
            for (size_t p = 0; p < bodyLength;) {
                const bool wide = body[p] >> 4;
                std::vector<int> table(64);
                for (size_t k = 0; k < 64; ++k) {
                    table[k] =
                        wide ? body[p + 1 + 2 * k] << 8 | body[p + 2 + 2 * k] : body[p + 1 + k];
                }
                facts.quantTables.push_back(table);
                p += 1 + (wide ? 128 : 64);
            }
        } else if (marker == 0xC0 || marker == 0xC2) {
            facts.baseline = marker == 0xC0;
            facts.progressive = marker == 0xC2;
            facts.height = body[1] << 8 | body[2];
            facts.width = body[3] << 8 | body[4];
            facts.components = body[5];
            for (int c = 0; c < facts.components; ++c) {
                facts.sampling.emplace_back(body[7 + 3 * c] >> 4, body[7 + 3 * c] & 15);
            }
        } else if (marker == 0xDA) {
            break;
        }
        i += 2 + length;
    }
    return facts;
}

std::vector<uint8_t> MakeIccProfile(size_t size, const char* colourSpace) {
    std::vector<uint8_t> profile(size);
    for (size_t i = 0; i < size; ++i) {
        profile[i] = uint8_t(i * 7 + 3);
    }
    // The data colour space field of the profile header.
    constexpr size_t kColourSpace = 16;
    for (size_t i = 0; i < 4 && kColourSpace + i < size; ++i) {
        profile[kColourSpace + i] = uint8_t(colourSpace[i]);
    }
    return profile;
}

std::vector<uint8_t> ClaimingFrameSize(std::vector<uint8_t> jpeg, int width, int height) {
    if (width < 0 || width > 0xFFFF || height < 0 || height > 0xFFFF) {
        throw std::invalid_argument("a frame header holds sizes up to 65535");
    }
    for (size_t i = 2; i + 9 < jpeg.size(); ++i) {
        if (jpeg[i] == 0xFF && (jpeg[i + 1] == 0xC0 || jpeg[i + 1] == 0xC2)) {
            jpeg[i + 5] = uint8_t(height >> 8), jpeg[i + 6] = uint8_t(height);
            jpeg[i + 7] = uint8_t(width >> 8), jpeg[i + 8] = uint8_t(width);
            return jpeg;
        }
    }
    throw std::invalid_argument("no baseline or progressive frame header");
}

std::vector<uint8_t> WithBadTableAfterScan(std::vector<uint8_t> jpeg) {
    if (jpeg.size() < 4 || jpeg[jpeg.size() - 2] != 0xFF || jpeg[jpeg.size() - 1] != 0xD9) {
        throw std::invalid_argument("no end marker to put the table before");
    }
    const std::vector<uint8_t> badTable = {0xFF, 0xC4, 0x00, 0x13, 0x1F, 0, 0, 0, 0, 0, 0,
                                           0,    0,    0,    0,    0,    0, 0, 0, 0, 0};
    jpeg.insert(jpeg.end() - 2, badTable.begin(), badTable.end());
    return jpeg;
}

namespace {

// A marker segment: where its marker starts, its code, and its length with the marker.
struct Segment {
    size_t offset;
    uint8_t marker;
    size_t size;
};

// The file's marker segments in order, scans included (a scan's segment is its header; its
// entropy-coded data runs to the next marker that is neither stuffing nor a restart).
std::vector<Segment> Segments(const std::vector<uint8_t>& jpeg) {
    std::vector<Segment> segments;
    for (size_t i = 2; i + 3 < jpeg.size() && jpeg[i] == 0xFF;) {
        const uint8_t marker = jpeg[i + 1];
        if (marker == 0xD9) {
            break;
        }
        const size_t size = 2 + (size_t{jpeg[i + 2]} << 8 | jpeg[i + 3]);
        segments.push_back({i, marker, size});
        i += size;
        if (marker == 0xDA) {
            while (i + 1 < jpeg.size() && !(jpeg[i] == 0xFF && jpeg[i + 1] != 0 &&
                                            (jpeg[i + 1] < 0xD0 || jpeg[i + 1] > 0xD7))) {
                ++i;
            }
        }
    }
    return segments;
}

// Where scan number `scan` (from 0) begins in the segment list.
size_t ScanSegment(const std::vector<Segment>& segments, int scan) {
    int seen = 0;
    for (size_t s = 0; s < segments.size(); ++s) {
        if (segments[s].marker == 0xDA && seen++ == scan) {
            return s;
        }
    }
    throw std::invalid_argument("the file has fewer scans");
}

}  // namespace

std::vector<uint8_t> WithBadScan(std::vector<uint8_t> jpeg, int scan) {
    const std::vector<Segment> segments = Segments(jpeg);
    const Segment& header = segments[ScanSegment(segments, scan)];
    // Behind the marker, length, component count and two bytes per component.
    const size_t spectral = header.offset + 5 + 2 * size_t{jpeg[header.offset + 4]};
    jpeg[spectral] = 63;
    jpeg[spectral + 1] = 0;
    return jpeg;
}

std::vector<uint8_t> CutInsideTableAfterScan(std::vector<uint8_t> jpeg, int scan) {
    const std::vector<Segment> segments = Segments(jpeg);
    for (size_t s = ScanSegment(segments, scan) + 1; s < segments.size(); ++s) {
        if (segments[s].marker == 0xC4) {
            jpeg.resize(segments[s].offset + 5);
            return jpeg;
        }
    }
    throw std::invalid_argument("no Huffman table behind the scan");
}

std::vector<uint8_t> WithoutQuantizationTables(std::vector<uint8_t> jpeg) {
    const std::vector<Segment> segments = Segments(jpeg);
    bool found = false;
    for (auto s = segments.rbegin(); s != segments.rend(); ++s) {
        if (s->marker == 0xDB) {
            jpeg.erase(jpeg.begin() + long(s->offset), jpeg.begin() + long(s->offset + s->size));
            found = true;
        }
    }
    if (!found) {
        throw std::invalid_argument("no quantization table");
    }
    return jpeg;
}

std::vector<NamedJpeg> FailingBeforeTheFirstRow() {
    const std::vector<uint8_t> progressive = EncodeJpeg(MakePattern(40, 30), {.progressive = true});
    return {
        {"bad-first-scan", WithBadScan(progressive, 0)},
        {"bad-third-scan", WithBadScan(progressive, 2)},
        {"cut-inside-huffman-table", CutInsideTableAfterScan(progressive, 0)},
        {"no-quantization-table", WithoutQuantizationTables(EncodeJpeg(MakePattern(40, 30)))},
        {"claiming-30000x30000", ClaimingFrameSize(EncodeJpeg(MakePattern(8, 8)), 30000, 30000)},
    };
}

}  // namespace velmora::test
