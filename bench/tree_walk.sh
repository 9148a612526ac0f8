#!/usr/bin/env bash
# Times velmora-convert over a tree of 1,000 small photographs (200 × 150, in 10 × 10 nested
# folders) two ways: walking the tree itself (-R) and taking the names from find
# (find … -print0 | velmora-convert -R -0 --files-from -). Both write the same tree of
# outputs; the difference is what the walk costs against find and a pipe.
# Needs a Release build (scripts/build.sh) and hyperfine; BENCH_REPEAT sets the runs (default 5).
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
top=$(dirname "$here")
cli=${VELMORA_BUILD_DIR:-$top/build}/cli/velmora-convert
convert=/usr/bin/convert
photo=/usr/share/backgrounds/mate/abstract/Elephants_5640x3172.jpg
"$top/scripts/setup.sh" hyperfine imagemagick mate-backgrounds

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# 40 × 25 tiles of one photograph: 1,000 different small pictures.
"$convert" "$photo" -resize '8000x3750!' -crop 200x150 +repage -strip -quality 90 \
    "$work/tile-%04d.jpg"
for i in $(seq 0 999); do
    folder=$(printf '%s/tree/d%d/s%d' "$work" $((i / 100)) $((i / 10 % 10)))
    mkdir -p "$folder"
    mv "$(printf '%s/tile-%04d.jpg' "$work" "$i")" "$folder/photo-$i.jpg"
done
echo "tree: $(find "$work/tree" -name '*.jpg' | wc -l) files, $(du -sh "$work/tree" | cut -f1)"

# Each output is flushed to disk before it replaces anything, so the written runs mostly time
# the disk; the dry runs (converted in memory, nothing written) time the walk and the work.
for mode in write dry-run; do
    extra=""
    [ "$mode" = dry-run ] && extra="--dry-run"
    hyperfine --runs "${BENCH_REPEAT:-5}" --warmup 1 \
        --prepare "rm -rf '$work/out' && mkdir '$work/out'" \
        -n "walk (-R) $mode" "'$cli' -R -q $extra -o '$work/out' '$work/tree'" \
        -n "find -print0 | --files-from - $mode" \
        "cd '$work/tree' && find . -iname '*.jpg' -print0 |
            '$cli' -R -q -0 --files-from - $extra -o '$work/out'"
done
