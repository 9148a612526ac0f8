#include "PictureFiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QImage>
#include <cmath>
#include <cstring>

#include "FileNames.h"
#include "core/bitmap.h"
#include "core/errors.h"
#include "core/file_io.h"
#include "core/jpeg_image.h"

namespace velmora::ui {

namespace {

// Bitmap and icon files: the first image of the file as 24-bit blue-green-red rows.
std::unique_ptr<TGraphic> LoadBitmapFile(const std::string& path, const char* format,
                                         const char* invalid) {
    const std::vector<uint8_t> bytes = ReadWholeFile(path);
    QImage image;
    if (!image.loadFromData(bytes.data(), static_cast<int>(bytes.size()), format)) {
        throw EInvalidGraphic(invalid);
    }
    image = image.convertToFormat(QImage::Format_BGR888);
    auto bitmap = std::make_unique<TBitmap>(image.width(), image.height(), TPixelFormat::pf24bit);
    for (int row = 0; row < image.height(); ++row) {
        std::memcpy(bitmap->ScanLine(row), image.constScanLine(row), size_t(image.width()) * 3);
    }
    return bitmap;
}

}  // namespace

std::unique_ptr<TGraphic> LoadPictureByFileName(const std::string& path) {
    const QString extension = ExtractFileExt(QString::fromStdString(path)).mid(1);
    const QString kind = extension.toLower();
    if (kind == QLatin1String("jpg") || kind == QLatin1String("jpeg")) {
        auto picture = std::make_unique<TJPEGImage>();
        picture->LoadPictureFile(path);
        return picture;
    }
    if (kind == QLatin1String("bmp")) {
        return LoadBitmapFile(path, "BMP", "Bitmap image is not valid");
    }
    if (kind == QLatin1String("ico")) {
        return LoadBitmapFile(path, "ICO", "Icon image is not valid");
    }
    throw EInvalidGraphic::UnknownExtension(extension.toStdString());
}

int64_t GetFileSizeOf(const std::string& path) {
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
    // The default rounding mode rounds an exact half to the even neighbour.
    const long double kilobytes = std::nearbyint(static_cast<long double>(size) / 1024.0L);
    return QStringLiteral("原图效果  ") + QString::number(static_cast<int64_t>(kilobytes)) +
           QStringLiteral(" KB");
}

QString SelectedCountCaption(int count) {
    return QStringLiteral("选定 ") + QString::number(count) + QStringLiteral(" 个图片");
}

}  // namespace velmora::ui
