#include "jpeg_writer.h"

#include <new>

#include "errors.h"
#include "jpeg_metadata.h"
#include "jpeg_reader.h"

namespace velmora::jpeg {

namespace {

constexpr int kExifMarker = JPEG_APP0 + 1;

}  // namespace

// Room for the encoding of a photograph even at quality 100, so that the output is not copied
// while it grows. Only the pages the encoder writes take memory.
size_t JpegWriter::ReservedBytes(int width, int height) {
    return static_cast<size_t>(width) * static_cast<size_t>(height) * 3 / 4 + 65536;
}

JpegWriter::JpegWriter(std::vector<uint8_t>& output, int width, int height, int quality,
                       bool progressive, const TPictureMetadata& metadata) {
    // Everything that may throw comes before the libjpeg object exists: a constructor that
    // throws later would never destroy it, and a jump out of libjpeg must skip no object.
    std::vector<uint8_t> exif;
    try {
        output.reserve(output.size() + ReservedBytes(width, height));
        if (metadata.orientation != 1) {
            exif = MakeExifOrientation(metadata.orientation);
        }
    } catch (const std::bad_alloc&) {
        throw EOutOfMemory();
    }
    // The output is always three components from red, green and blue: a profile of another
    // colour space (grey, CMYK) would not describe it, and colour-managed programs refuse it.
    const bool keepProfile = IsRgbProfile(metadata.iccProfile.data(), metadata.iccProfile.size());
    Call([&] { jpeg_create_compress(&cinfo_); });
    // The whole-picture coefficient buffer of a progressive encoding is held to the bound of
    // the decoder's buffers.
    cinfo_.mem->max_memory_to_use = static_cast<long>(DecodedBytesLimit());
    AttachMemoryDestination(cinfo_, destination_, output);
    cinfo_.image_width = static_cast<JDIMENSION>(width);
    cinfo_.image_height = static_cast<JDIMENSION>(height);
    cinfo_.input_components = 3;
    cinfo_.in_color_space = JCS_EXT_BGR;
    Call([&] {
        jpeg_set_defaults(&cinfo_);
        cinfo_.dct_method = JDCT_FLOAT;
        jpeg_set_quality(&cinfo_, quality, TRUE);
        if (progressive) {
            jpeg_simple_progression(&cinfo_);
        }
        jpeg_start_compress(&cinfo_, TRUE);
    });
    Call([&] {
        if (!exif.empty()) {
            jpeg_write_marker(&cinfo_, kExifMarker, exif.data(),
                              static_cast<unsigned>(exif.size()));
        }
        if (keepProfile) {
            jpeg_write_icc_profile(&cinfo_, metadata.iccProfile.data(),
                                   static_cast<unsigned>(metadata.iccProfile.size()));
        }
    });
}

void JpegWriter::WriteRow(const uint8_t* row) {
    JSAMPROW rows[1] = {const_cast<JSAMPROW>(row)};
    Call([&] { jpeg_write_scanlines(&cinfo_, rows, 1); });
}

void JpegWriter::Finish() {
    Call([&] { jpeg_finish_compress(&cinfo_); });
}

std::vector<uint8_t> EncodeBitmap(const TBitmap& bitmap, int quality, bool progressive) {
    std::vector<uint8_t> output;
    const int width = bitmap.Width();
    const int height = bitmap.Height();
    JpegWriter writer(output, width, height, quality, progressive, bitmap.Metadata());
    std::vector<uint8_t> scratch;
    for (int y = 0; y < height; ++y) {
        writer.WriteRow(BgrScanLine(bitmap, y, scratch));
    }
    writer.Finish();
    return output;
}

}  // namespace velmora::jpeg
