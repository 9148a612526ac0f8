#!/usr/bin/env bash
# Makes the benchmark corpus in bench/corpus/ (never committed) from photographs that Debian's
# mate-backgrounds package ships: a 24-megapixel picture (6000 × 4000) and a 12-megapixel one
# (4000 × 3000), each as a baseline, a progressive and a grayscale JPEG at quality 92 with
# 4:2:0 chroma and no metadata, the way cameras and editors commonly write them.
# The same ImageMagick gives the same files every time; an existing corpus of this recipe is
# kept.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
corpus=$here/corpus
photos=/usr/share/backgrounds/mate
recipe=3
convert=/usr/bin/convert  # the real ImageMagick, whatever else is on PATH

if [ "$(cat "$corpus/.recipe" 2>/dev/null)" = "$recipe" ]; then
    exit 0
fi
rm -rf "$corpus"
mkdir -p "$corpus"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# 24 MP: a photographed painting, rich in fine texture, scaled to cover 6000 × 4000 and cropped.
"$convert" "$photos/abstract/Elephants_5640x3172.jpg" -resize '6000x4000^' \
    -gravity center -extent 6000x4000 +repage -depth 8 "$work/p24.ppm"

# 12 MP: four nature photographs, each scaled to cover 2000 × 1500 and cropped, tiled 2 × 2.
tiles=()
for name in Dune RainDrops Storm TwoWings; do
    "$convert" "$photos/nature/$name.jpg" -resize '2000x1500^' -gravity center \
        -extent 2000x1500 +repage -depth 8 "$work/$name.ppm"
    tiles+=("$work/$name.ppm")
done
"$convert" \( "${tiles[0]}" "${tiles[1]}" +append \) \( "${tiles[2]}" "${tiles[3]}" +append \) \
    -append -depth 8 "$work/p12.ppm"

for size in 12 24; do
    common=(-strip -quality 92 -sampling-factor 2x2,1x1,1x1)
    "$convert" "$work/p$size.ppm" "${common[@]}" -interlace none "$corpus/p$size-baseline.jpg"
    "$convert" "$work/p$size.ppm" "${common[@]}" -interlace JPEG "$corpus/p$size-progressive.jpg"
    "$convert" "$work/p$size.ppm" -strip -quality 92 -colorspace Gray -type Grayscale \
        -interlace none "$corpus/p$size-gray.jpg"
done
echo "$recipe" >"$corpus/.recipe"
