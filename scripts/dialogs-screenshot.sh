#!/usr/bin/env bash
# Screenshots of the program's dialogs, driven with the real mouse on a virtual display under a
# window manager (openbox) over a desktop of generated photographs: the compression dialog
# before and after its batch, the output-directory dialog, the folder picker and the About
# dialog.
# Usage: scripts/dialogs-screenshot.sh OUTPUT_DIRECTORY
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${VELMORA_BUILD_DIR:-$top/build}
out=$(realpath -m "$1")
mkdir -p "$out"
for tool in xdotool openbox; do
    command -v $tool >/dev/null || { echo "needs $tool (scripts/setup.sh installs it)" >&2; exit 1; }
done

home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
mkdir -p "$home/Desktop/照片" "$home/program"
for i in 1 2 3; do
    convert -size 800x600 plasma:fractal -seed "$i" -quality 90 "$home/Desktop/IMG_00$i.jpg"
done
# Run from a folder of its own: the settings file and the default output directory are there.
cp "$build/app/velmora" "$home/program/"

HOME="$home" XDG_CONFIG_HOME="$home/.config" \
    xvfb-run -a -s '-screen 0 1024x768x24' bash -c '
    out=$1
    openbox >/dev/null 2>&1 &
    sleep 1
    "$0" & pid=$!
    wid=$(xdotool search --sync --onlyvisible --name CorvaneVelmora | head -1)
    sleep 2
    # The corner of a window'"'"'s client area (xdotool places it wrongly under a reparenting
    # window manager).
    origin() {
        X=$(xwininfo -id "$1" | sed -n "s/ *Absolute upper-left X: *//p")
        Y=$(xwininfo -id "$1" | sed -n "s/ *Absolute upper-left Y: *//p")
    }
    origin "$wid"
    main_x=$X main_y=$Y
    click() { xdotool mousemove "$1" "$2" click 1; sleep "${3:-1}"; }
    # A window by its caption, and a point relative to its client area.
    at() {
        origin "$(xdotool search --sync --onlyvisible --name "$1" | head -1)"
        click $((X + $2)) $((Y + $3)) "${4:-1}"
    }
    # The three pictures in the file list, with Ctrl for the second and third.
    row_y() { echo $((main_y + 63 + 22 + 18 * $1 + 9)); }
    click $((main_x + 269)) "$(row_y 0)"
    xdotool keydown ctrl
    click $((main_x + 269)) "$(row_y 1)"
    click $((main_x + 269)) "$(row_y 2)"
    xdotool keyup ctrl
    # 开始压缩
    click $((main_x + 41)) $((main_y + 40)) 2
    import -window root "$out/compress-step1.png"
    at 压缩图片 333 88 3
    import -window root "$out/compress-step2.png"
    at 压缩图片 405 83
    # 系统设置, then its browse button
    click $((main_x + 120)) $((main_y + 40)) 2
    import -window root "$out/outpath.png"
    at 输出目录 405 59 2
    import -window root "$out/picker.png"
    xdotool key Escape
    sleep 1
    at 输出目录 391 104
    # 关于
    click $((main_x + 187)) $((main_y + 40)) 2
    import -window root "$out/about.png"
    kill "$pid" 2>/dev/null || true
' "$home/program/velmora" "$out"
echo "saved in $out"
