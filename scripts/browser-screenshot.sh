#!/usr/bin/env bash
# Screenshot of the whole program browsing a folder of generated photographs: the program runs
# on a virtual display under a window manager (openbox) with its desktop pointed at that folder;
# one row is clicked (thumbnail) and another double-clicked (preview) with the real mouse, then
# the screen is saved. Beside OUTPUT.png it saves the window as it starts (OUTPUT-start.png),
# the resize tab (OUTPUT-resize.png) and the first drop-down menu (OUTPUT-menu.png).
# Usage: scripts/browser-screenshot.sh OUTPUT.png
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${VELMORA_BUILD_DIR:-$top/build}
out=$(realpath -m "$1")
for tool in xdotool openbox; do
    command -v $tool >/dev/null || { echo "needs $tool (scripts/setup.sh installs it)" >&2; exit 1; }
done

home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
desktop="$home/Desktop"
mkdir -p "$desktop/2023 旅行" "$desktop/家庭" "$desktop/相册.jpg"

# Landscapes: sky, sun, two mountain ridges and a lake, a little grain; each one different.
landscape() {
    local i=$1 path=$2
    local sun=$((300 + i * 97 % 1000)) hue=$((i * 23 % 60))
    convert -size 1600x1200 gradient:"hsl($((200 + hue)),60%,55%)"-"hsl($((30 + hue)),80%,80%)" \
        -fill '#fff6c8' -draw "circle $sun,330 $sun,400" \
        -fill "hsl($((210 + hue)),15%,45%)" \
        -draw "polygon 0,780 $((200 + i * 30)),430 520,640 $((760 + i * 20)),360 1100,690 1350,$((480 + i * 15)) 1600,740 1600,1200 0,1200" \
        -fill "hsl($((110 + hue)),40%,28%)" \
        -draw "polygon 0,900 380,$((700 + i * 10)) 700,860 1020,720 1600,900 1600,1200 0,1200" \
        -fill "hsl($((205 + hue)),45%,40%)" -draw 'rectangle 0,1010 1600,1200' \
        -attenuate 0.4 +noise Gaussian -blur 0x1.2 -quality 88 "$path"
}
names=(IMG_2041.jpg IMG_2042.JPG IMG_2043.jpg IMG_2050.jpg IMG_2107.jpg 海边.jpg 日落.JPG)
for i in "${!names[@]}"; do
    landscape "$i" "$desktop/${names[$i]}"
done
convert -size 64x64 xc:orange "$desktop/图标.png"
echo "not a picture" >"$desktop/说明.txt"

HOME="$home" XDG_CONFIG_HOME="$home/.config" \
    xvfb-run -a -s '-screen 0 1024x768x24' bash -c '
    out=${1%.png}
    openbox >/dev/null 2>&1 &
    sleep 1
    "$0" & pid=$!
    wid=$(xdotool search --sync --onlyvisible --name CorvaneVelmora | head -1)
    sleep 2
    # The corner of the client area (xdotool places it wrongly under a reparenting window
    # manager).
    X=$(xwininfo -id "$wid" | sed -n "s/ *Absolute upper-left X: *//p")
    Y=$(xwininfo -id "$wid" | sed -n "s/ *Absolute upper-left Y: *//p")
    import -window root "$out-start.png"
    # The file list starts right of the 209-pixel left panel and below the 63-pixel bars;
    # its rows are 18 pixels high under a header of about 20.
    row() { echo $((Y + 63 + 22 + 18 * $1 + 9)); }
    list_x=$((X + 209 + 60))
    xdotool mousemove "$list_x" "$(row 5)" click 1
    sleep 1
    xdotool mousemove "$list_x" "$(row 3)" click --repeat 2 --delay 80 1
    sleep 2
    # "缩 略 图": both panes fit the whole picture.
    xdotool mousemove $((X + 235)) $((Y + 282)) click 1
    sleep 1
    xdotool mousemove $((X + 780)) $((Y + 560))
    sleep 1
    import -window root "$1"
    # "图片缩放", the second tab of the preview frame below the list.
    xdotool mousemove $((X + 310)) $((Y + 229)) click 1
    sleep 1
    import -window root "$out-resize.png"
    # "图片处理" in the menu bar.
    xdotool mousemove $((X + 30)) $((Y + 10)) click 1
    sleep 1
    import -window root "$out-menu.png"
    kill "$pid" 2>/dev/null || true
' "$build/app/velmora" "$out"
echo "saved $out and its -start, -resize and -menu siblings"
