#include "jpeg_writer.h"

#include <new>

#include "errors.h"
#include "jpeg_metadata.h"
#include "jpeg_reader.h"
#include "pixel_allocator.h"

namespace velmora::jpeg {

namespace {

constexpr int kExifMarker = JPEG_APP0 + 1;

// Whether a whole EXIF block is carried: it holds the orientation already.
bool CarriesExif(const TPictureMetadata& metadata) {
    for (const TMetadataMarker& marker : metadata.markers) {
        if (marker.code == kExifMarker && IsExif(marker.body.data(), marker.body.size())) {
            return true;
        }
    }
    return false;
}

}  // namespace

// Room for the encoding of a photograph even at quality 100, so that the output is not copied
// while it grows. Only the pages the encoder writes take memory.
size_t JpegWriter::ReservedBytes(int width, int height) {
    return static_cast<size_t>(width) * static_cast<size_t>(height) * 3 / 4 + 65536;
}

JpegWriter::JpegWriter(std::vector<uint8_t>& output, int width, int height, int quality,
                       bool progressive, const TPictureMetadata& metadata) {
    try {
        ReserveHugePages(output, output.size() + ReservedBytes(width, height));
    } catch (const std::bad_alloc&) {
        throw EOutOfMemory();
    }
    Start(width, height, quality, progressive, metadata,
          [&] { AttachMemoryDestination(cinfo_, destination_, output); });
}

JpegWriter::JpegWriter(ByteChannel& channel, int width, int height, int quality, bool progressive,
                       const TPictureMetadata& metadata) {
    Start(width, height, quality, progressive, metadata,
          [&] { AttachChannelDestination(cinfo_, channelDestination_, channel); });
}

template <typename Attach>
void JpegWriter::Start(int width, int height, int quality, bool progressive,
                       const TPictureMetadata& metadata, Attach&& attachDestination) {
    // Everything that may throw comes before the libjpeg object exists: a constructor that
    // throws later would never destroy it, and a jump out of libjpeg must skip no object.
    std::vector<uint8_t> exif;
    try {
        if (metadata.orientation != 1 && !CarriesExif(metadata)) {
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
    attachDestination();
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
        for (const TMetadataMarker& marker : metadata.markers) {
            jpeg_write_marker(&cinfo_, marker.code, marker.body.data(),
                              static_cast<unsigned>(marker.body.size()));
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

namespace {

void WriteBitmapRows(JpegWriter& writer, const TBitmap& bitmap) {
    std::vector<uint8_t> scratch;
    for (int y = 0; y < bitmap.Height(); ++y) {
        writer.WriteRow(BgrScanLine(bitmap, y, scratch));
    }
    writer.Finish();
}

}  // namespace

std::vector<uint8_t> EncodeBitmap(const TBitmap& bitmap, int quality, bool progressive) {
    std::vector<uint8_t> output;
    JpegWriter writer(output, bitmap.Width(), bitmap.Height(), quality, progressive,
                      bitmap.Metadata());
    WriteBitmapRows(writer, bitmap);
    return output;
}

void EncodeBitmap(const TBitmap& bitmap, int quality, bool progressive, ByteChannel& channel) {
    JpegWriter writer(channel, bitmap.Width(), bitmap.Height(), quality, progressive,
                      bitmap.Metadata());
    WriteBitmapRows(writer, bitmap);
}

}  // namespace velmora::jpeg
