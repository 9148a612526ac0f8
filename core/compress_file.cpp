#include "compress_file.h"

#include <cstdint>

#include "bitmap.h"
#include "errors.h"
#include "jpeg_image.h"
#include "resize.h"
#include "stream.h"

namespace velmora {

void CompressFile(const std::string& source, const std::string& output, int compressPercent,
                  int resizePercent) {
    if (compressPercent < 0 || compressPercent > 100 || resizePercent < 0 || resizePercent > 100) {
        throw Exception("Percent out of range");
    }
    TJPEGImage sourcePicture;
    TBitmap work;
    sourcePicture.LoadPictureFile(source);
    work.CopyPicture(sourcePicture);
    // From here the picture holds the very pixels it encodes; its Progressive stays as loaded.
    sourcePicture.CopyPicture(work);
    sourcePicture.SetQuality(static_cast<uint8_t>(100 - compressPercent));
    sourcePicture.Encode();
    // The old output is not deleted first: it is replaced whole once the new bytes exist.
    if (resizePercent == 100) {
        sourcePicture.SavePictureFile(output);
        return;
    }
    // Decode the compressed bytes again so the shrink works on every loss of that encoding.
    TMemoryStream stream;
    sourcePicture.SavePictureStream(stream);
    stream.SetPosition(0);
    sourcePicture.LoadPictureStream(stream);
    work.CopyPicture(sourcePicture);

    TBitmap target;
    target.SetWidth(PercentSize(work.Width(), resizePercent));
    target.SetHeight(PercentSize(work.Height(), resizePercent));
    StretchToBitmap(target, work);
    target.SetMetadata(work.Metadata());
    TJPEGImage resizePicture;
    resizePicture.CopyPicture(target);
    resizePicture.SavePictureFile(output);
}

}  // namespace velmora
