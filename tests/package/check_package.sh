#!/usr/bin/env bash
# Unpacks the Debian package that scripts/package.sh built and checks its metadata and every
# file in it: the right files in the right places with the right modes, programs that run,
# and a desktop entry, software-centre metadata and manual pages that their tools accept.
# Usage: check_package.sh PACKAGE.deb VERSION APP_ID
set -uo pipefail
deb=$1 version=$2 app_id=$3

failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}
# check DESCRIPTION COMMAND...: the command must succeed.
check() {
    local what=$1
    shift
    "$@" || fail "$what"
}

if [ ! -f "$deb" ]; then
    echo "FAIL: no package at $deb (./scripts/package.sh builds it)"
    exit 1
fi

field() { dpkg-deb -f "$deb" "$1"; }
check "Package is velmora" test "$(field Package)" = velmora
check "Version is $version" test "$(field Version)" = "$version"
check "Architecture is this machine's" test "$(field Architecture)" = "$(dpkg --print-architecture)"
check "Section is graphics" test "$(field Section)" = graphics
check "a maintainer is named" test -n "$(field Maintainer)"
check "the description has a summary and a long text" \
    test "$(field Description | wc -l)" -gt 2
depends=$(field Depends)
for library in libc6 libstdc++6 libjpeg62-turbo libqt6core6 libqt6gui6 libqt6widgets6 \
    fonts-arphic-uming; do
    [[ ", $depends," == *", $library "* || ", $depends," == *", $library,"* ]] ||
        fail "Depends names $library: $depends"
done
[[ "$(field Recommends)" == *xdg-utils* ]] || fail "Recommends names xdg-utils"

# Every file, with its mode and owner; nothing else (no headers, libraries or tests).
expected_files="-rw-r--r-- root/root ./usr/share/applications/$app_id.desktop
-rw-r--r-- root/root ./usr/share/icons/hicolor/128x128/apps/$app_id.png
-rw-r--r-- root/root ./usr/share/icons/hicolor/16x16/apps/$app_id.png
-rw-r--r-- root/root ./usr/share/icons/hicolor/256x256/apps/$app_id.png
-rw-r--r-- root/root ./usr/share/icons/hicolor/32x32/apps/$app_id.png
-rw-r--r-- root/root ./usr/share/icons/hicolor/48x48/apps/$app_id.png
-rw-r--r-- root/root ./usr/share/icons/hicolor/scalable/apps/$app_id.svg
-rw-r--r-- root/root ./usr/share/man/man1/velmora-convert.1.gz
-rw-r--r-- root/root ./usr/share/man/man1/velmora.1.gz
-rw-r--r-- root/root ./usr/share/metainfo/$app_id.metainfo.xml
-rwxr-xr-x root/root ./usr/bin/velmora
-rwxr-xr-x root/root ./usr/bin/velmora-convert"
files=$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { print $1, $2, $6 }' | LC_ALL=C sort)
[ "$files" = "$(LC_ALL=C sort <<<"$expected_files")" ] ||
    fail "the files are not the expected ones:
$(diff <(LC_ALL=C sort <<<"$expected_files") <(echo "$files"))"

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg-deb -x "$deb" "$root" || { fail "dpkg-deb -x"; exit 1; }
usr=$root/usr

check "velmora-convert --version runs" \
    test "$("$usr/bin/velmora-convert" --version)" = "velmora-convert $version"
for program in velmora velmora-convert; do
    readelf -S "$usr/bin/$program" | grep -q '\.symtab' && fail "$program is not stripped"
done

desktop=$usr/share/applications/$app_id.desktop
check "desktop-file-validate accepts the desktop entry" desktop-file-validate "$desktop"
check "the desktop entry starts velmora" grep -qx 'Exec=velmora' "$desktop"
check "the desktop entry names its icon" grep -qx "Icon=$app_id" "$desktop"
check "the desktop entry has a Chinese name" grep -q '^Name\[zh_CN\]=' "$desktop"
check "the desktop entry is in Graphics" grep -q '^Categories=Graphics;' "$desktop"

metainfo=$usr/share/metainfo/$app_id.metainfo.xml
check "appstreamcli accepts the metadata" appstreamcli validate --no-net "$metainfo" >/dev/null
check "the metadata's newest release is $version" \
    grep -q "<release version=\"$version\"" "$metainfo"
check "the metadata has a Chinese description" grep -q '<p xml:lang="zh_CN">' "$metainfo"
check "the metadata refers to a screenshot" grep -q '<image>https://' "$metainfo"

# A PNG's width and height are the two big-endian words after its IHDR tag.
png_size() { od -An -tu1 -j16 -N8 "$1" | awk '{ print $3 * 256 + $4 "x" $7 * 256 + $8 }'; }
for size in 16 32 48 128 256; do
    png=$usr/share/icons/hicolor/${size}x$size/apps/$app_id.png
    check "the ${size}-pixel icon is ${size}x$size" test "$(png_size "$png")" = "${size}x$size"
done
check "the scalable icon is an SVG drawing" \
    grep -q '<svg ' "$usr/share/icons/hicolor/scalable/apps/$app_id.svg"

# In a UTF-8 locale, as the program's users have for its Chinese texts; in plain C, troff would
# warn about every Chinese character of the command captions.
for page in velmora velmora-convert; do
    text=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$usr/share/man/man1/$page.1.gz" 2>&1 >/dev/null)
    [ -z "$text" ] || fail "man warns about $page.1: $text"
    LC_ALL=C.UTF-8 MANWIDTH=80 man -l "$usr/share/man/man1/$page.1.gz" 2>/dev/null | grep -q "^NAME" ||
        fail "$page.1 renders no NAME section"
done

if [ "$failures" -ne 0 ]; then
    echo "$failures checks failed"
    exit 1
fi
echo "the package is complete"
