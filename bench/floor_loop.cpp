// The least this conversion can cost: a minimal loop straight over libjpeg-turbo doing exactly
// the conversion's profile and nothing else. Decode with block smoothing, the floating-point
// DCT and fancy upsampling to blue, green, red rows (one-component sources quantized to 236
// grays and mapped back through their palette); encode with the floating-point DCT at quality
// 100 − c, progressive when the source has several scans. At r = 50 the encoding goes to
// memory, is decoded again the same way, halved by averaging 2 × 2 blocks (the exact area mean
// on even sides) and encoded baseline at quality 90. Outputs are written plainly, without the
// crash-safe replacement. Below r = 100 the conversion itself writes the encoding at the
// quality baseline, which decodes to the same pixels; the loop keeps it progressive for a
// progressive source, so such sources are measured against the conversion as it was.
//
//     velmora-bench-floor -c C -r 100|50 -o DIR FILE...
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

#include <jpeglib.h>

namespace {

[[noreturn]] void Fail(const std::string& message) {
    throw std::runtime_error(message);
}

void ExitOnError(j_common_ptr cinfo) {
    char text[JMSG_LENGTH_MAX];
    cinfo->err->format_message(cinfo, text);
    std::fprintf(stderr, "velmora-bench-floor: %s\n", text);
    std::exit(1);
}

std::vector<unsigned char> ReadFile(const std::string& path) {
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        Fail(path + ": " + std::strerror(errno));
    }
    std::fseek(file, 0, SEEK_END);
    std::vector<unsigned char> bytes(static_cast<size_t>(std::ftell(file)));
    std::fseek(file, 0, SEEK_SET);
    const size_t read = std::fread(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
    if (read != bytes.size()) {
        Fail(path + ": short read");
    }
    return bytes;
}

void WriteFile(const std::string& path, const unsigned char* data, size_t size) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file || std::fwrite(data, 1, size, file) != size || std::fclose(file) != 0) {
        Fail(path + ": cannot write");
    }
}

// One decoding with the profile, delivering blue, green, red rows.
class Decoder {
  public:
    Decoder(const unsigned char* data, size_t size) {
        cinfo_.err = jpeg_std_error(&errors_);
        errors_.error_exit = ExitOnError;
        jpeg_create_decompress(&cinfo_);
        jpeg_mem_src(&cinfo_, data, static_cast<unsigned long>(size));
        jpeg_read_header(&cinfo_, TRUE);
        progressive_ = jpeg_has_multiple_scans(&cinfo_);
        cinfo_.do_block_smoothing = TRUE;
        cinfo_.dct_method = JDCT_FLOAT;
        gray_ = cinfo_.out_color_space == JCS_GRAYSCALE;
        if (gray_) {
            cinfo_.quantize_colors = TRUE;
            cinfo_.desired_number_of_colors = 236;
        } else {
            cinfo_.out_color_space = JCS_EXT_BGR;
        }
        jpeg_start_decompress(&cinfo_);
        row_.resize(size_t{cinfo_.output_width} * 3);
        if (gray_) {
            indexes_.resize(cinfo_.output_width);
        }
    }
    ~Decoder() { jpeg_destroy_decompress(&cinfo_); }

    int Width() const { return static_cast<int>(cinfo_.output_width); }
    int Height() const { return static_cast<int>(cinfo_.output_height); }
    bool Progressive() const { return progressive_; }

    const unsigned char* Next() {
        if (!gray_) {
            JSAMPROW row = row_.data();
            jpeg_read_scanlines(&cinfo_, &row, 1);
            return row_.data();
        }
        JSAMPROW row = indexes_.data();
        jpeg_read_scanlines(&cinfo_, &row, 1);
        const JSAMPLE* map = cinfo_.colormap[0];
        for (size_t x = 0; x < indexes_.size(); ++x) {
            row_[3 * x] = row_[3 * x + 1] = row_[3 * x + 2] = map[indexes_[x]];
        }
        return row_.data();
    }
    void Finish() { jpeg_finish_decompress(&cinfo_); }

  private:
    jpeg_decompress_struct cinfo_{};
    jpeg_error_mgr errors_{};
    bool progressive_ = false;
    bool gray_ = false;
    std::vector<unsigned char> indexes_;
    std::vector<unsigned char> row_;
};

// One encoding with the profile into memory.
class Encoder {
  public:
    Encoder(int width, int height, int quality, bool progressive) {
        cinfo_.err = jpeg_std_error(&errors_);
        errors_.error_exit = ExitOnError;
        jpeg_create_compress(&cinfo_);
        jpeg_mem_dest(&cinfo_, &buffer_, &size_);
        cinfo_.image_width = static_cast<JDIMENSION>(width);
        cinfo_.image_height = static_cast<JDIMENSION>(height);
        cinfo_.input_components = 3;
        cinfo_.in_color_space = JCS_EXT_BGR;
        jpeg_set_defaults(&cinfo_);
        cinfo_.dct_method = JDCT_FLOAT;
        jpeg_set_quality(&cinfo_, quality, TRUE);
        if (progressive) {
            jpeg_simple_progression(&cinfo_);
        }
        jpeg_start_compress(&cinfo_, TRUE);
    }
    ~Encoder() {
        jpeg_destroy_compress(&cinfo_);
        std::free(buffer_);
    }

    void Write(const unsigned char* row) {
        JSAMPROW rows[1] = {const_cast<JSAMPROW>(row)};
        jpeg_write_scanlines(&cinfo_, rows, 1);
    }
    void Finish() { jpeg_finish_compress(&cinfo_); }
    const unsigned char* Data() const { return buffer_; }
    size_t Size() const { return size_; }

  private:
    jpeg_compress_struct cinfo_{};
    jpeg_error_mgr errors_{};
    unsigned char* buffer_ = nullptr;
    unsigned long size_ = 0;
};

void Convert(const std::string& source, const std::string& output, int quality, bool half) {
    const std::vector<unsigned char> bytes = ReadFile(source);
    Decoder decoder(bytes.data(), bytes.size());
    Encoder encoder(decoder.Width(), decoder.Height(), quality, decoder.Progressive());
    for (int y = 0; y < decoder.Height(); ++y) {
        encoder.Write(decoder.Next());
    }
    decoder.Finish();
    encoder.Finish();
    if (!half) {
        WriteFile(output, encoder.Data(), encoder.Size());
        return;
    }
    Decoder again(encoder.Data(), encoder.Size());
    if (again.Width() % 2 != 0 || again.Height() % 2 != 0) {
        Fail(source + ": the halving loop takes even sides only");
    }
    const int width = again.Width() / 2;
    Encoder resized(width, again.Height() / 2, 90, false);
    std::vector<unsigned char> upper(size_t(again.Width()) * 3);
    std::vector<unsigned char> row(size_t(width) * 3);
    for (int y = 0; y < again.Height(); y += 2) {
        std::memcpy(upper.data(), again.Next(), upper.size());
        const unsigned char* lower = again.Next();
        for (int x = 0; x < width; ++x) {
            for (int c = 0; c < 3; ++c) {
                const size_t i = size_t(6) * x + c;
                row[3 * x + c] = static_cast<unsigned char>(
                    (upper[i] + upper[i + 3] + lower[i] + lower[i + 3] + 2) >> 2);
            }
        }
        resized.Write(row.data());
    }
    again.Finish();
    resized.Finish();
    WriteFile(output, resized.Data(), resized.Size());
}

std::string BaseName(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

int main(int argc, char** argv) {
    int compress = 25, resize = 100;
    std::string outputDirectory;
    std::vector<std::string> files;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if ((arg == "-c" || arg == "-r" || arg == "-o") && i + 1 < argc) {
            const std::string value = argv[++i];
            (arg == "-o" ? (void)(outputDirectory = value)
                         : (void)((arg == "-c" ? compress : resize) = std::atoi(value.c_str())));
        } else {
            files.push_back(arg);
        }
    }
    if (outputDirectory.empty() || files.empty() || (resize != 100 && resize != 50) ||
        compress < 0 || compress > 100) {
        std::fprintf(stderr, "usage: velmora-bench-floor -c 0..100 -r 100|50 -o DIR FILE...\n");
        return 2;
    }
    try {
        for (const std::string& file : files) {
            Convert(file, outputDirectory + "/" + BaseName(file), 100 - compress, resize == 50);
        }
    } catch (const std::exception& error) {
        std::fprintf(stderr, "velmora-bench-floor: %s\n", error.what());
        return 1;
    }
    return 0;
}
