#!/usr/bin/env bash
# Fills a desktop folder for the soak with folders of valid, damaged and hostile files.
#   tests/soak/make_folders.sh PRISTINE DESKTOP SEED
# PRISTINE caches the valid pictures (made once with ImageMagick and cjpeg, the same bytes every
# time); the damaged ones are cut, flipped and patched from them with the seed, so a seed gives
# the same folders again. Prints the number of entries it made.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
top=$(cd "$here/../.." && pwd)
pristine=${1:?usage: make_folders.sh PRISTINE DESKTOP SEED}
desktop=${2:?usage: make_folders.sh PRISTINE DESKTOP SEED}
RANDOM=${3:?usage: make_folders.sh PRISTINE DESKTOP SEED}
export LC_ALL=C

# R := a random number below $1 (no command substitution: a subshell would not advance the
# generator of this shell).
rnd() { R=$((RANDOM % $1)); }

make_pristine() {
    mkdir -p "$pristine"
    local p=$pristine
    convert -size 640x480 plasma:fractal -seed 1 -quality 90 "$p/baseline.jpg"
    convert -size 800x600 plasma:fractal -seed 2 -quality 85 -interlace JPEG "$p/progressive.jpg"
    convert -size 480x640 plasma:fractal -seed 3 -colorspace Gray -quality 80 "$p/gray.jpg"
    convert -size 320x240 plasma:fractal -seed 4 -colorspace CMYK -quality 90 "$p/cmyk.jpg"
    convert -size 2400x1800 plasma:fractal -seed 5 -quality 92 "$p/large.jpg"
    convert -size 1x1 xc:red "$p/pixel.jpg"
    convert -size 1x23 gradient: "$p/column.jpg"
    convert -size 23x1 gradient: "$p/row.jpg"
    convert -size 300x200 plasma:fractal -seed 6 ppm:"$p/source.ppm"
    cjpeg -arithmetic -outfile "$p/arithmetic.jpg" "$p/source.ppm"
    cjpeg -restart 1 -progressive -outfile "$p/restart.jpg" "$p/source.ppm"
    cjpeg -sample 1x1 -quality 100 -outfile "$p/444.jpg" "$p/source.ppm"
    rm "$p/source.ppm"
    touch "$p/.complete"
}
[ -e "$pristine/.complete" ] || make_pristine

# Byte offset of the first JPEG marker $2 (two hex digits) in file $1, or of its $3rd one.
marker() {
    local hits
    hits=$(grep -obUaP "\\xFF\\x$2" "$1" | cut -d: -f1)
    sed -n "${3:-1}p" <<<"$hits"
}
# Overwrites the byte at offset $2 of file $1 with $3 (0..255).
poke() {
    printf "\\x$(printf %02x "$3")" | dd of="$1" bs=1 seek="$2" conv=notrunc status=none
}
# Writes file $1 without its segment at offset $2 into $3.
cut_segment() {
    local length
    read -r high low < <(od -An -tu1 -j $(($2 + 2)) -N2 "$1")
    length=$((high * 256 + low))
    { head -c "$2" "$1"; tail -c +$(($2 + 2 + length + 1)) "$1"; } >"$3"
}
# Flips $3 random bytes of file $1 past its first scan header into $2.
flip() {
    cp "$1" "$2"
    local size start i
    size=$(stat -c %s "$1")
    start=$(($(marker "$1" DA) + 14))
    for ((i = 0; i < $3; i++)); do
        rnd $((size - start))
        local offset=$((start + R))
        rnd 256
        poke "$2" "$offset" "$R"
    done
}
# Cuts file $1 at a random offset into $2.
random_cut() {
    rnd "$(stat -c %s "$1")"
    head -c "$R" "$1" >"$2"
}
# Sets the picture size in the frame header of file $1 to $2 × $3.
declare_size() {
    local frame
    frame=$(marker "$1" C0)
    [ -n "$frame" ] || frame=$(marker "$1" C2)
    poke "$1" $((frame + 5)) $(($3 >> 8))
    poke "$1" $((frame + 6)) $(($3 & 255))
    poke "$1" $((frame + 7)) $(($2 >> 8))
    poke "$1" $((frame + 8)) $(($2 & 255))
}

p=$pristine
valid="$desktop/照片"
damaged="$desktop/损坏"
hostile="$desktop/敌意"
# No folder holds a folder, so that the folder tree keeps its rows (the soak clicks them by
# place) and never leads outside the desktop.
mkdir -p "$valid" "$damaged" "$hostile" "$desktop/输出" "$desktop/相册.jpg"

# Valid pictures of every kind, under names of every kind.
cp "$p/baseline.jpg" "$valid/IMG_0001.jpg"
cp "$p/progressive.jpg" "$valid/IMG_0002.JPG"
cp "$p/gray.jpg" "$valid/灰度.jpg"
cp "$p/cmyk.jpg" "$valid/cmyk.Jpg"
cp "$p/large.jpg" "$valid/大图.jpg"
cp "$p/pixel.jpg" "$valid/点.jpg"
cp "$p/column.jpg" "$valid/竖线.jpg"
cp "$p/row.jpg" "$valid/横线.jpg"
cp "$p/arithmetic.jpg" "$valid/arithmetic.jpg"
cp "$p/restart.jpg" "$valid/restart.jpg"
cp "$p/444.jpg" "$valid/a b 空格.jpg"
cp "$p/baseline.jpg" "$valid/.hidden.jpg"
cp "$p/gray.jpg" "$valid/$(printf 'gbk-\xcd\xbc\xc6\xac.jpg')"
cp "$p/baseline.jpg" "$desktop/桌面照片.jpg"
cp "$p/progressive.jpg" "$desktop/IMG_9999.jpg"

# Damaged: cut anywhere, cut inside a Huffman table, bits flipped, scans broken, tables gone.
for source in baseline progressive gray restart; do
    random_cut "$p/$source.jpg" "$damaged/cut-$source.jpg"
    rnd 16
    flip "$p/$source.jpg" "$damaged/flip-$source.jpg" $((R + 1))
done
huffman=$(marker "$p/baseline.jpg" C4)
head -c $((huffman + 9)) "$p/baseline.jpg" >"$damaged/cut-huffman.jpg"
for scan in 1 3; do
    start=$(marker "$p/progressive.jpg" DA "$scan")
    cp "$p/progressive.jpg" "$damaged/progressive-scan$scan.jpg"
    for i in 1 2 3 4 5 6 7 8; do
        rnd 256
        poke "$damaged/progressive-scan$scan.jpg" $((start + 12 + i * 3)) "$R"
    done
done
cut_segment "$p/baseline.jpg" "$(marker "$p/baseline.jpg" DB)" "$damaged/no-quantization.jpg"
# The whole header and a little of the scan, declaring a picture far larger than its data.
head -c $(($(marker "$p/baseline.jpg" DA) + 64)) "$p/baseline.jpg" >"$damaged/header-30000.jpg"
declare_size "$damaged/header-30000.jpg" 30000 30000
cp "$p/progressive.jpg" "$damaged/progressive-65500.jpg"
declare_size "$damaged/progressive-65500.jpg" 65500 65500
head -c 244 "$p/progressive.jpg" >"$damaged/progressive-25000.jpg"
declare_size "$damaged/progressive-25000.jpg" 25000 25000
head -c 2 "$p/baseline.jpg" >"$damaged/start-only.jpg"
cp "$top"/tests/data/fuzz-regressions/*.jpg "$damaged/"

# Hostile: no regular file behind the name, or a name no one expects.
mkfifo "$hostile/fifo.jpg"
ln -s fifo.jpg "$hostile/link-to-fifo.jpg"
ln -s /dev/zero "$hostile/zero.jpg"
ln -s /dev/null "$hostile/null.jpg"
ln -s loop.jpg "$hostile/loop.jpg"
ln -s missing.jpg "$hostile/dangling.jpg"
: >"$hostile/empty.jpg"
echo "not a picture" >"$hostile/text.jpg"
truncate -s 64M "$hostile/sparse.jpg"
cp "$p/baseline.jpg" "$hostile/$(printf 'bad-\xff\xfe.jpg')"
cp "$p/row.jpg" "$hostile/$(printf 'ctl-\e]0;title\a-\n-line.jpg')"
cp "$p/pixel.jpg" "$hostile/$(printf 'L%.0s' {1..240}).jpg"
cp "$p/baseline.jpg" "$hostile/read-only.jpg"
chmod 444 "$hostile/read-only.jpg"
cp "$p/baseline.jpg" "$hostile/photo.jpeg"

find "$desktop" -mindepth 1 | wc -l
