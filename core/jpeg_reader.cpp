#include "jpeg_reader.h"

#include <atomic>
#include <cstdlib>
#include <memory>
#include <new>

#include <jerror.h>

#include "errors.h"
#include "jpeg_metadata.h"

namespace velmora::jpeg {

namespace {

constexpr int kExifMarker = JPEG_APP0 + 1;
constexpr int kIccMarker = JPEG_APP0 + 2;

struct FreeDeleter {
    void operator()(JOCTET* p) const { std::free(p); }
};

std::atomic<size_t> decodedBytesLimit{kMaxDecodedBytes};

// libjpeg calls this while it takes in the scans; a jump out of it is an ordinary fatal error.
void RefuseExcessiveScans(j_common_ptr cinfo) {
    const auto decompress = reinterpret_cast<j_decompress_ptr>(cinfo);
    if (decompress->input_scan_number > kMaxScans) {
        cinfo->err->msg_code = JERR_BAD_PROGRESSION;
        cinfo->err->error_exit(cinfo);
    }
}

uint8_t MultiplyChannels(unsigned a, unsigned b) {
    return static_cast<uint8_t>((a * b + 127) / 255);
}

}  // namespace

size_t DecodedBytesLimit() {
    return decodedBytesLimit;
}

void SetDecodedBytesLimit(size_t bytes) {
    decodedBytesLimit = bytes;
}

JpegReader::JpegReader(const uint8_t* data, size_t size) {
    Create();
    AttachMemorySource(cinfo_, source_, data, size);
}

JpegReader::JpegReader(ByteChannel& channel) {
    Create();
    AttachChannelSource(cinfo_, channelSource_, channel);
}

void JpegReader::Create() {
    Call([&] { jpeg_create_decompress(&cinfo_); });
    progress_.progress_monitor = RefuseExcessiveScans;
    cinfo_.progress = &progress_;
    cinfo_.mem->max_memory_to_use = static_cast<long>(DecodedBytesLimit());
}

void JpegReader::ReadHeader(bool keepMetadata, TMetadataKept kept) {
    kept_ = kept;
    Call([&] {
        if (keepMetadata) {
            jpeg_save_markers(&cinfo_, kExifMarker, 0xFFFF);
            jpeg_save_markers(&cinfo_, kIccMarker, 0xFFFF);
            if (kept == TMetadataKept::kAll) {
                jpeg_save_markers(&cinfo_, kApp13Marker, 0xFFFF);
                jpeg_save_markers(&cinfo_, kCommentMarker, 0xFFFF);
            }
        }
        jpeg_read_header(&cinfo_, TRUE);
    });
}

bool JpegReader::Progressive() {
    bool multipleScans = false;
    Call([&] { multipleScans = jpeg_has_multiple_scans(&cinfo_); });
    return multipleScans;
}

TPictureMetadata JpegReader::Metadata() {
    TPictureMetadata metadata;
    bool orientationRead = false;
    for (jpeg_saved_marker_ptr marker = cinfo_.marker_list; marker; marker = marker->next) {
        if (!orientationRead && marker->marker == kExifMarker &&
            IsExif(marker->data, marker->data_length)) {
            metadata.orientation = ExifOrientation(marker->data, marker->data_length);
            orientationRead = true;
        }
        if (kept_ == TMetadataKept::kAll &&
            IsCarriedMarker(marker->marker, marker->data, marker->data_length)) {
            metadata.markers.push_back(
                {marker->marker, {marker->data, marker->data + marker->data_length}});
        }
    }
    JOCTET* icc = nullptr;
    unsigned int iccLength = 0;
    Call([&] {
        if (!jpeg_read_icc_profile(&cinfo_, &icc, &iccLength)) {
            icc = nullptr;
        }
    });
    const std::unique_ptr<JOCTET, FreeDeleter> owned(icc);
    if (owned) {
        try {
            metadata.iccProfile.assign(owned.get(), owned.get() + iccLength);
        } catch (const std::bad_alloc&) {
            throw EOutOfMemory();
        }
    }
    return metadata;
}

void JpegReader::Start(TJPEGDecodeDepth depth, bool plainGray) {
    cinfo_.scale_num = 1;
    cinfo_.scale_denom = 1;
    cinfo_.do_block_smoothing = TRUE;
    cinfo_.dct_method = JDCT_FLOAT;
    cmyk_ = cinfo_.num_components == 4;
    if (cmyk_) {
        cinfo_.out_color_space = JCS_CMYK;
    } else if (cinfo_.out_color_space != JCS_GRAYSCALE) {
        // Any other component count than 1 or 3 is refused by libjpeg here.
        cinfo_.out_color_space = JCS_EXT_BGR;
    }
    // CMYK pictures are converted to colour by us, so they are never quantized by libjpeg.
    const bool gray = cinfo_.out_color_space == JCS_GRAYSCALE;
    plainGray_ = gray && plainGray;
    quantized_ = !plainGray_ && (gray || (depth == TJPEGDecodeDepth::jd8bit && !cmyk_));
    if (quantized_) {
        cinfo_.quantize_colors = TRUE;
        cinfo_.desired_number_of_colors = kQuantizedColours;
    }
    const size_t bytesPerPixel = quantized_ || plainGray_ ? 1 : 3;
    const size_t rowBytes = (size_t{cinfo_.image_width} * bytesPerPixel + 3) & ~size_t{3};
    if (cinfo_.image_height != 0 && rowBytes > DecodedBytesLimit() / cinfo_.image_height) {
        throw EJPEG(JERR_IMAGE_TOO_BIG);
    }
    Call([&] { jpeg_start_decompress(&cinfo_); });
    if (cmyk_) {
        cmykRow_.resize(size_t{cinfo_.output_width} * 4);
    }
}

std::vector<TPaletteEntry> JpegReader::Palette() const {
    std::vector<TPaletteEntry> palette;
    if (!quantized_ || !cinfo_.colormap) {
        return palette;
    }
    palette.resize(static_cast<size_t>(cinfo_.actual_number_of_colors));
    const bool gray = cinfo_.out_color_components == 1;
    for (size_t i = 0; i < palette.size(); ++i) {
        if (gray) {
            const uint8_t v = cinfo_.colormap[0][i];
            palette[i] = {v, v, v, 0};
        } else {
            // The map's components are in the order libjpeg delivers pixels: blue, green, red.
            palette[i] = {cinfo_.colormap[2][i], cinfo_.colormap[1][i], cinfo_.colormap[0][i], 0};
        }
    }
    return palette;
}

void JpegReader::ReadRow(uint8_t* row) {
    JSAMPROW target = cmyk_ ? cmykRow_.data() : row;
    Call([&] { jpeg_read_scanlines(&cinfo_, &target, 1); });
    if (cmyk_) {
        ConvertCmykRow(row);
    }
}

// Adobe applications store CMYK inverted (0 = full ink) and mark it with their marker; other
// writers store plain CMYK.
void JpegReader::ConvertCmykRow(uint8_t* row) const {
    const bool inverted = cinfo_.saw_Adobe_marker;
    const uint8_t* cmyk = cmykRow_.data();
    for (JDIMENSION x = 0; x < cinfo_.output_width; ++x, cmyk += 4, row += 3) {
        const unsigned k = inverted ? cmyk[3] : 255u - cmyk[3];
        for (int channel = 0; channel < 3; ++channel) {
            const unsigned ink = inverted ? cmyk[channel] : 255u - cmyk[channel];
            row[2 - channel] = MultiplyChannels(ink, k);  // C→red, M→green, Y→blue
        }
    }
}

void JpegReader::Finish() {
    Call([&] { jpeg_finish_decompress(&cinfo_); });
}

namespace {

void DecodeRowsInto(JpegReader& reader, TJPEGDecodeDepth depth, TBitmap& bitmap,
                    const std::function<void(int rows)>& rowsDecoded) {
    reader.ReadHeader(true);
    bitmap.SetMetadata(reader.Metadata());
    reader.Start(depth);
    bitmap.SetPixelFormat(reader.OutputFormat());
    bitmap.SetSize(reader.OutputWidth(), reader.OutputHeight());
    bitmap.SetPalette(reader.Palette());
    for (int y = 0; y < reader.OutputHeight(); ++y) {
        reader.ReadRow(bitmap.ScanLine(y));
        if (rowsDecoded) {
            rowsDecoded(y + 1);
        }
    }
    reader.Finish();
}

}  // namespace

void DecodeInto(const uint8_t* data, size_t size, TJPEGDecodeDepth depth, TBitmap& bitmap) {
    JpegReader reader(data, size);
    DecodeRowsInto(reader, depth, bitmap, {});
}

void DecodeInto(ByteChannel& channel, TJPEGDecodeDepth depth, TBitmap& bitmap,
                const std::function<void(int rows)>& rowsDecoded) {
    JpegReader reader(channel);
    DecodeRowsInto(reader, depth, bitmap, rowsDecoded);
}

}  // namespace velmora::jpeg
