#!/usr/bin/env bash
# Draws the About dialog's banner: 468 × 70, baseline JPEG with three colour components.
# Needs ImageMagick and the fonts-arphic-uming and fonts-dejavu-core packages.
set -euo pipefail
out=${1:-$(dirname "$0")/banner.jpg}
uming=/usr/share/fonts/truetype/arphic/uming.ttc
sans=/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf
convert -size 468x70 gradient:'#1d3f7a'-'#4f86d0' \
    -fill 'rgba(255,255,255,0.10)' -draw 'circle 420,10 470,60' -draw 'circle 380,80 430,120' \
    -fill '#ffd38f' -draw 'roundrectangle 16,17 52,53 6,6' \
    -fill '#1d3f7a' -draw 'polygon 21,48 31,32 38,41 42,36 48,48' -draw 'circle 43,26 46,26' \
    -font "$sans" -pointsize 24 -fill white -annotate +66+38 'CorvaneVelmora' \
    -font "$uming" -pointsize 14 -fill '#dce8f9' -annotate +68+58 'JPEG 照片批量压缩工具' \
    -type TrueColor -interlace none -sampling-factor 2x2,1x1,1x1 -strip -quality 92 \
    "JPEG:$out"
