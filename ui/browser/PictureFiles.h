// What the browser does with a chosen file: load it as a picture by its extension, size it
// on disk, and the texts it shows about it.
#pragma once

#include <QString>
#include <cstdint>
#include <memory>
#include <string>

namespace velmora {
class TGraphic;
}

namespace velmora::ui {

// The picture kind follows the path's extension, in any letter case: "jpg" and "jpeg" give a
// JPEG picture (file read and header parsed, nothing decoded yet); "bmp" and "ico" a bitmap,
// transparent parts laid on the button face. Any other extension raises "Unknown picture
// file extension (.%s)" ("emf" and "wmf" too: there are no metafile pictures here). A file
// that cannot be opened raises "Cannot open file ...".
std::unique_ptr<TGraphic> LoadPictureByFileName(const std::string& path);

// The low 32 bits of the file's size taken as unsigned; 0 when the file cannot be opened or
// sized, and for anything that is not a regular file.
int64_t FileSizeLow32(const std::string& path);

// "原图效果  N KB": the size in kilobytes, an exact half rounded to the even neighbour.
QString SourceSizeCaption(int64_t size);

// "选定 N 个图片"
QString SelectedCountCaption(int count);

}  // namespace velmora::ui
