#include "compress_reference.h"

#include "bitmap.h"
#include "jpeg_image.h"
#include "resize.h"
#include "stream.h"

namespace velmora {

std::vector<uint8_t> CompressBytesFrameByFrame(std::vector<uint8_t> source,
                                               ConversionPercents percents) {
    percents.Check();
    const int resizePercent = percents.Resize();
    TJPEGImage sourcePicture;
    TBitmap work;
    sourcePicture.LoadPictureBytes(std::move(source));
    work.CopyPicture(sourcePicture);
    // From here the picture holds the very pixels it encodes; its Progressive stays as loaded.
    sourcePicture.CopyPicture(work);
    sourcePicture.SetQuality(static_cast<uint8_t>(percents.Quality()));
    sourcePicture.Encode();
    if (resizePercent == 100) {
        return sourcePicture.EncodedBytes();
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
    resizePicture.Encode();
    return resizePicture.EncodedBytes();
}

}  // namespace velmora
