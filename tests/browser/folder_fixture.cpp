#include "folder_fixture.h"

#include <sys/stat.h>

#include <stdexcept>

#include "support/jpeg_fixture.h"

namespace velmora::test {

void WriteFileOfSize(const std::string& path, size_t size) {
    WriteBytes(path, std::vector<uint8_t>(size, 0x5A));
}

void WriteJpegFile(const std::string& path, int width, int height) {
    WriteBytes(path, EncodeJpeg(MakePattern(width, height)));
}

void MakeFolder(const std::string& path) {
    if (::mkdir(path.c_str(), 0755) != 0) {
        throw std::runtime_error("cannot create " + path);
    }
}

}  // namespace velmora::test
