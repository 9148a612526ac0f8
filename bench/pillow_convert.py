#!/usr/bin/python3
"""The conversion done with Pillow, the way a Python batch would: every file in one process,
decoded, encoded at quality 100 - c (progressive for progressive sources, colour output for
grayscale ones), and below r = 100 decoded again, box-filtered to r percent and encoded at
quality 90. Pillow decodes with libjpeg's defaults (no floating-point DCT setting).

    pillow_convert.py C R OUTDIR FILE...
"""
import io
import os
import sys

from PIL import Image


def convert(source, output, quality, resize):
    with Image.open(source) as picture:
        progressive = bool(picture.info.get("progressive") or picture.info.get("progression"))
        picture = picture.convert("RGB")
    if resize == 100:
        picture.save(output, "JPEG", quality=quality, progressive=progressive)
        return
    buffer = io.BytesIO()
    picture.save(buffer, "JPEG", quality=quality, progressive=progressive)
    buffer.seek(0)
    with Image.open(buffer) as again:
        size = (round(again.width * resize / 100), round(again.height * resize / 100))
        again.resize(size, Image.Resampling.BOX).save(output, "JPEG", quality=90)


def main():
    compress, resize, directory = int(sys.argv[1]), int(sys.argv[2]), sys.argv[3]
    for source in sys.argv[4:]:
        convert(source, os.path.join(directory, os.path.basename(source)), 100 - compress, resize)


if __name__ == "__main__":
    main()
