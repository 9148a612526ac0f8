#include "PictureFiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QImage>
#include <QPainter>
#include <algorithm>
#include <cstring>

#include "FileNames.h"
#include "core/bitmap.h"
#include "core/errors.h"
#include "core/file_io.h"
#include "core/jpeg_image.h"
#include "core/kilobytes.h"
#include "widgets/system_colors.h"

namespace velmora::ui {

namespace {

std::string AsciiLowerCase(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; });
    return text;
}

// A 24-bit bitmap has no transparency: what shows through is the thumbnail's background.
QImage Opaque(const QImage& image) {
    if (!image.hasAlphaChannel()) {
        return image;
    }
    QImage opaque(image.size(), QImage::Format_RGB32);
    opaque.fill(SysColor(TSysColor::BtnFace));
    QPainter painter(&opaque);
    painter.drawImage(0, 0, image);
    return opaque;
}

// Bitmap and icon files: the first image of the file as 24-bit blue-green-red rows.
std::unique_ptr<TGraphic> LoadBitmapFile(const std::string& path, const char* format,
                                         const char* invalid) {
    const std::vector<uint8_t> bytes = ReadWholeFile(path);
    QImage image;
    if (!image.loadFromData(bytes.data(), static_cast<int>(bytes.size()), format)) {
        throw EInvalidGraphic(invalid);
    }
    image = Opaque(image).convertToFormat(QImage::Format_BGR888);
    auto bitmap = std::make_unique<TBitmap>(image.width(), image.height(), TPixelFormat::pf24bit);
    for (int row = 0; row < image.height(); ++row) {
        std::memcpy(bitmap->ScanLine(row), image.constScanLine(row), size_t(image.width()) * 3);
    }
    return bitmap;
}

}  // namespace

std::unique_ptr<TGraphic> LoadPictureByFileName(const std::string& path) {
    const std::string dotted = ExtractFileExt(path);
    const std::string extension = dotted.empty() ? dotted : dotted.substr(1);
    const std::string kind = AsciiLowerCase(extension);
    if (kind == "jpg" || kind == "jpeg") {
        auto picture = std::make_unique<TJPEGImage>();
        picture->LoadPictureFile(path);
        return picture;
    }
    if (kind == "bmp") {
        return LoadBitmapFile(path, "BMP", "Bitmap image is not valid");
    }
    if (kind == "ico") {
        return LoadBitmapFile(path, "ICO", "Icon image is not valid");
    }
    throw EInvalidGraphic::UnknownExtension(extension);
}

int64_t FileSizeLow32(const std::string& path) {
    // Non-blocking, so that a pipe given by name cannot hang the program.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return 0;
    }
    struct stat status;
    const bool sized = ::fstat(fd, &status) == 0 && S_ISREG(status.st_mode);
    ::close(fd);
    return sized ? static_cast<int64_t>(static_cast<uint32_t>(status.st_size)) : 0;
}

QString SourceSizeCaption(int64_t size) {
    return QStringLiteral("原图效果  ") + QString::number(KilobytesHalfEven(size)) +
           QStringLiteral(" KB");
}

QString SelectedCountCaption(int count) {
    return QStringLiteral("选定 ") + QString::number(count) + QStringLiteral(" 个图片");
}

}  // namespace velmora::ui
