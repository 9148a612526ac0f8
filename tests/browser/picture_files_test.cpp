// Loading a chosen file by its extension, its size on disk, and the JPEG filter's name rule.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <QImage>
#include <filesystem>
#include <map>

#include "core/bitmap.h"
#include "core/errors.h"
#include "core/jpeg_image.h"
#include "folder_fixture.h"
#include "ui/browser/FileNames.h"
#include "ui/browser/PictureFiles.h"
#include "widgets/system_colors.h"

namespace velmora::ui {
namespace {

using test::TempDir;

std::string LoadError(const std::string& path) {
    try {
        LoadPictureByFileName(path);
    } catch (const std::exception& error) {
        return error.what();
    }
    return "no error";
}

TEST(JpegFilter, KeepsNamesWhoseLastExtensionIsJpgInAnyLetterCase) {
    const struct {
        const char* name;
        bool kept;
    } cases[] = {
        {"a.jpg", true},          {"b.JPG", true},     {"c.Jpg", true},     {"d.jpeg", false},
        {"e.jpe", false},         {"f.png", false},    {"folder", false},   {"photo.jpg.jpg", true},
        {"photo.jpg.png", false}, {"照片.JPG", true},  {"a.b:c.jpg", true}, {"jpg", false},
        {"a.jpg ", false},        {"a.ｊｐｇ", false}, {"x.jpg/", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(HasJpgExtension(QString::fromUtf8(c.name)), c.kept) << c.name;
    }
    EXPECT_EQ(ExtractFileExt(QStringLiteral("/a.b/c")), QString());
    EXPECT_EQ(ExtractFileExt(QStringLiteral("/a/b.tar.gz")), QStringLiteral(".gz"));
}

TEST(LoadPictureByFileName, JpegExtensionsGiveAnUndecodedJpegPicture) {
    TempDir dir;
    for (const char* name : {"a.jpg", "b.JPEG", "c.Jpg"}) {
        test::WriteJpegFile(dir.File(name), 20, 10);
        const auto picture = LoadPictureByFileName(dir.File(name));
        auto* jpeg = dynamic_cast<TJPEGImage*>(picture.get());
        ASSERT_NE(jpeg, nullptr) << name;
        EXPECT_FALSE(jpeg->HasPixels()) << name;
        EXPECT_EQ(jpeg->Width(), 20);
        EXPECT_EQ(jpeg->Height(), 10);
    }
}

TEST(LoadPictureByFileName, BitmapAndIconFilesGiveTheirPixels) {
    TempDir dir;
    QImage image(3, 2, QImage::Format_ARGB32);
    image.fill(QColor(10, 20, 30));
    image.setPixelColor(2, 1, QColor(200, 100, 50));
    // A transparent pixel: the icon keeps its transparency and shows the thumbnail's
    // background; the bitmap file has none and stores it black.
    image.setPixelColor(1, 0, Qt::transparent);
    const QColor face = SysColor(TSysColor::BtnFace);
    const std::map<std::string, std::vector<int>> clearPixel = {
        {"p.BMP", {0, 0, 0}}, {"p.ico", {face.blue(), face.green(), face.red()}}};
    ASSERT_TRUE(image.save(test::Q(dir.File("p.BMP")), "BMP"));
    ASSERT_TRUE(image.save(test::Q(dir.File("p.ico")), "ICO"));
    for (const char* name : {"p.BMP", "p.ico"}) {
        const auto picture = LoadPictureByFileName(dir.File(name));
        auto* bitmap = dynamic_cast<TBitmap*>(picture.get());
        ASSERT_NE(bitmap, nullptr) << name;
        ASSERT_EQ(bitmap->Width(), 3);
        ASSERT_EQ(bitmap->Height(), 2);
        const uint8_t* first = bitmap->ScanLine(0);
        EXPECT_EQ((std::vector<int>{first[0], first[1], first[2]}), (std::vector<int>{30, 20, 10}))
            << name;
        const uint8_t* last = bitmap->ScanLine(1) + ptrdiff_t{2} * 3;
        EXPECT_EQ((std::vector<int>{last[0], last[1], last[2]}), (std::vector<int>{50, 100, 200}))
            << name;
        const uint8_t* clear = bitmap->ScanLine(0) + 3;
        EXPECT_EQ((std::vector<int>{clear[0], clear[1], clear[2]}), clearPixel.at(name)) << name;
    }
}

TEST(LoadPictureByFileName, FailuresNameTheExtensionOrTheFile) {
    TempDir dir;
    test::WriteJpegFile(dir.File("a.txt"));
    test::WriteJpegFile(dir.File("m.emf"));
    test::WriteJpegFile(dir.File("noext"));
    test::MakeFolder(dir.File("g.jpg"));
    test::WriteFileOfSize(dir.File("fake.jpg"), 100);
    test::WriteFileOfSize(dir.File("fake.bmp"), 100);

    EXPECT_EQ(LoadError(dir.File("a.txt")), "Unknown picture file extension (.txt)");
    EXPECT_EQ(LoadError(dir.File("m.emf")), "Unknown picture file extension (.emf)");
    EXPECT_EQ(LoadError(dir.File("noext")), "Unknown picture file extension (.)");
    EXPECT_EQ(LoadError(dir.File("g.jpg")),
              "Cannot open file \"" + dir.File("g.jpg") + "\". Is a directory");
    EXPECT_EQ(LoadError(dir.File("gone.jpg")),
              "Cannot open file \"" + dir.File("gone.jpg") + "\". No such file or directory");
    EXPECT_EQ(LoadError(dir.File("fake.jpg")), "JPEG error #53");
    EXPECT_EQ(LoadError(dir.File("fake.bmp")), "Bitmap image is not valid");
}

TEST(FileSizeLow32, GivesTheLow32BitsAndZeroForWhatCannotBeSized) {
    TempDir dir;
    test::WriteFileOfSize(dir.File("a.jpg"), 1536);
    EXPECT_EQ(FileSizeLow32(dir.File("a.jpg")), 1536);

    // A sparse file of 4 GiB and 5 bytes counts as 5 bytes.
    const std::string big = dir.File("big.jpg");
    const int fd = ::open(big.c_str(), O_CREAT | O_WRONLY, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::ftruncate(fd, (int64_t{1} << 32) + 5), 0);
    ::close(fd);
    EXPECT_EQ(FileSizeLow32(big), 5);

    test::MakeFolder(dir.File("g.jpg"));
    ASSERT_EQ(::mkfifo(dir.File("pipe.jpg").c_str(), 0644), 0);
    EXPECT_EQ(FileSizeLow32(dir.File("g.jpg")), 0);
    EXPECT_EQ(FileSizeLow32(dir.File("pipe.jpg")), 0);
    EXPECT_EQ(FileSizeLow32(dir.File("gone.jpg")), 0);
}

TEST(SourceSizeCaption, RoundsKilobytesHalfToEven) {
    const struct {
        int64_t bytes;
        const char* caption;
    } cases[] = {
        {0, "原图效果  0 KB"},    {512, "原图效果  0 KB"},
        {513, "原图效果  1 KB"},  {1535, "原图效果  1 KB"},
        {1536, "原图效果  2 KB"}, {2560, "原图效果  2 KB"},
        {3584, "原图效果  4 KB"}, {4294967295, "原图效果  4194304 KB"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SourceSizeCaption(c.bytes).toStdString(), c.caption) << c.bytes;
    }
}

}  // namespace
}  // namespace velmora::ui
