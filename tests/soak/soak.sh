#!/usr/bin/env bash
# A soak of the real program: the sanitizer build of velmora runs on a virtual display under a
# window manager and gets random clicks, keys, drags, double clicks, renames and batches over
# folders of valid, damaged and hostile files, for a given time; every crash, hang (a window
# that stops answering the window manager's ping) and sanitizer report is listed with the seed
# that reproduces it. The program is restarted after a crash and every --run-seconds, each run
# over fresh folders with a seed of its own (the soak's seed plus the run's number), so that a
# finding is reproduced by a short soak with that run's seed.
#
# Usage: tests/soak/soak.sh [--seconds N] [--seed S] [--run-seconds N] [--hang-seconds N]
#                           [--screenshot FILE [--screenshot-at SECONDS]] [--keep]
#   --seconds N        how long to soak (default 60)
#   --seed S           the first run's seed (default: from the clock; printed)
#   --run-seconds N    restart the program after this long (default 300)
#   --hang-seconds N   a window that answers no ping for this long is a hang (default 20)
#   --screenshot FILE  save the screen once, --screenshot-at seconds in (default: half-way)
#   --keep             keep the temporary tree (it is always kept after a finding)
# Exit status: 0 no finding, 1 findings, 2 the soak could not run.
#
# Everything lives in one temporary tree: the home and desktop folders, a portable copy of the
# program with its settings file, the output directory and the logs. Where user namespaces
# allow it, the program sees every other file system read-only.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
top=$(cd "$here/../.." && pwd)
build=${VELMORA_ASAN_BUILD_DIR:-$top/build-asan}

seconds=60 seed= run_seconds=300 hang_seconds=20 screenshot= screenshot_at= keep=0
while [ $# -gt 0 ]; do
    case $1 in
    --seconds) seconds=$2 && shift ;;
    --seed) seed=$2 && shift ;;
    --run-seconds) run_seconds=$2 && shift ;;
    --hang-seconds) hang_seconds=$2 && shift ;;
    --screenshot) screenshot=$(realpath -m "$2") && shift ;;
    --screenshot-at) screenshot_at=$2 && shift ;;
    --keep) keep=1 ;;
    *) sed -n '10,18s/^# \?//p' "$0" >&2 && exit 2 ;;
    esac
    shift
done
[ -n "$seed" ] || seed=$(($(date +%s) % 1000000))
[ -n "$screenshot_at" ] || screenshot_at=$((seconds / 2))

for tool in xvfb-run openbox xdotool xwininfo import convert cjpeg iconv; do
    command -v "$tool" >/dev/null || { echo "soak: needs $tool (scripts/setup.sh installs it)" >&2; exit 2; }
done
for file in "$build/app/velmora" "$build/tests/soak/window_probe"; do
    [ -x "$file" ] || { echo "soak: no $file (build the sanitizer build with the tests)" >&2; exit 2; }
done

dir=$(mktemp -d "${TMPDIR:-/tmp}/velmora-soak.XXXXXX")
mkdir -p "$dir/home/Desktop" "$dir/program" "$dir/bin" "$dir/logs" "$dir/runtime"
chmod 700 "$dir/runtime"
cp "$build/app/velmora" "$dir/program/"
# Opening a folder or the home page is only written down.
printf '#!/bin/sh\necho "$*" >>"%s/logs/opened.txt"\n' "$dir" >"$dir/bin/xdg-open"
chmod +x "$dir/bin/xdg-open"
# The suite's leak suppressions and those of the libraries only a real display brings in.
cat "$top/scripts/lsan.supp" "$here/lsan.supp" >"$dir/lsan.supp"

jail=0
if unshare -Urm --propagation private sh -c \
    'mount --bind "$0" "$0" && mount -o remount,bind,ro / && ! touch /.soak-probe 2>/dev/null' \
    "$dir" 2>/dev/null; then
    jail=1
else
    echo "soak: no user namespaces here; the program runs with the file systems as they are" >&2
fi

echo "soak: $seconds s from seed $seed in $dir"
start=$SECONDS
status=0
HOME=$dir/home XDG_CONFIG_HOME=$dir/home/.config XDG_RUNTIME_DIR=$dir/runtime \
    XDG_DATA_HOME=$dir/home/.local/share XDG_CACHE_HOME=$dir/home/.cache \
    PATH=$dir/bin:$PATH LC_ALL=C.UTF-8 QT_QPA_PLATFORM=xcb \
    SOAK_DIR=$dir SOAK_SEED=$seed SOAK_SECONDS=$seconds SOAK_RUN_SECONDS=$run_seconds \
    SOAK_HANG_SECONDS=$hang_seconds SOAK_PROBE=$build/tests/soak/window_probe SOAK_TOP=$top \
    SOAK_JAIL=$jail SOAK_SCREENSHOT=$screenshot SOAK_SCREENSHOT_AT=$screenshot_at \
    xvfb-run -a -s '-screen 0 1280x1024x24' "$here/drive.sh" || status=2

# The figures.
counts=$dir/counts.tsv findings=$dir/findings.tsv
echo "soak: ran $((SECONDS - start)) s from seed $seed"
awk -F'\t' '$1 == "files" { printf "  files in %s: %s\n", $2, $3 }' "$counts"
awk -F'\t' '$1 == "outputs" { n += $2 } END { printf "  output files written: %d\n", n }' "$counts"
[ -s "$dir/logs/opened.txt" ] && echo "  folders and pages opened: $(wc -l <"$dir/logs/opened.txt")"
awk -F'\t' '$1 == "count" { printf "  %6d  %s\n", $3, $2 }' "$counts" | sort -k2
if [ -s "$findings" ]; then
    echo "soak: $(wc -l <"$findings") findings, $(cut -f2 "$findings" | sort -u | wc -l) distinct:"
    # One line for each distinct one: how often, its kind, the first seed and action that met
    # it, and that run's log.
    sort -t$'\t' -k2,2 -s "$findings" | awk -F'\t' '
        $2 != last { if (n) print line " (" n "×)"; n = 0; last = $2
                     line = sprintf("  %s: %s\n    first in run %s, seed %s, action %s; %s", $1, $2, $4, $3, $5, $6) }
        { n++ } END { if (n) print line " (" n "×)" }'
    echo "soak: reproduce one with tests/soak/soak.sh --seed SEED --seconds $run_seconds"
    keep=1
    [ $status = 0 ] && status=1
fi
if [ $keep = 1 ]; then
    echo "soak: kept $dir"
else
    rm -rf "$dir"
fi
exit $status
