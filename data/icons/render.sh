#!/usr/bin/env bash
# Renders velmora.svg into the PNG sizes that are installed and compiled into the program;
# run it after changing the drawing. Needs rsvg-convert (librsvg2-bin).
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
for size in 16 32 48 128 256; do
    rsvg-convert -w "$size" -h "$size" "$here/velmora.svg" -o "$here/velmora-$size.png"
done
