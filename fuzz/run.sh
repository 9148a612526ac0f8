#!/usr/bin/env bash
# Builds the fuzz targets with clang under AddressSanitizer and UndefinedBehaviorSanitizer and
# runs each for SECONDS (default 60), one after another, at a low priority.
#   fuzz/run.sh [SECONDS] [TARGET...]        targets: decode compress_file settings (default: all)
# The corpus grows in fuzz/out/corpus/TARGET; inputs that crash go to fuzz/out/crashes/TARGET;
# each run's log is fuzz/out/logs/TARGET.log. Exits non-zero when a target found something.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
seconds=${1:-60}
shift || true
targets=("$@")
build=${VELMORA_FUZZ_BUILD_DIR:-$top/build-fuzz}
out=$top/fuzz/out

"$top/scripts/setup.sh"
CC=clang CXX=clang++ VELMORA_BUILD_DIR=$build "$top/scripts/build.sh" \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELMORA_FUZZ=ON -DVELMORA_ASAN=ON -DVELMORA_BUILD_GUI=OFF \
    -DVELMORA_BUILD_TESTS=OFF -DVELMORA_BUILD_BENCH=OFF
"$top/fuzz/make_corpus.sh" "$build" "$out/seeds"
if [ ${#targets[@]} -eq 0 ]; then
    for binary in "$build"/fuzz/fuzz_*; do
        targets+=("${binary##*/fuzz_}")
    done
fi

# The conversion target fsyncs every output: keep its files in memory when possible.
[ -d /dev/shm ] && [ -w /dev/shm ] && export TMPDIR=${TMPDIR:-/dev/shm}
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1:symbolize=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
status=0
for target in "${targets[@]}"; do
    binary=$build/fuzz/fuzz_$target
    [ -x "$binary" ] || { echo "run.sh: no fuzz target $target" >&2; exit 2; }
    mkdir -p "$out/corpus/$target" "$out/crashes/$target" "$out/logs"
    seeds=()
    [ -d "$out/seeds/$target" ] && seeds=("$out/seeds/$target")
    case $target in
        settings) dict=$top/fuzz/ini.dict ;;
        *) dict=$top/fuzz/jpeg.dict ;;
    esac
    echo "== $target for ${seconds}s"
    if nice -n 10 "$binary" -dict="$dict" -max_total_time="$seconds" -timeout=30 \
        -rss_limit_mb=2560 -print_final_stats=1 -artifact_prefix="$out/crashes/$target/" \
        "$out/corpus/$target" "${seeds[@]}" >"$out/logs/$target.log" 2>&1; then
        grep -E '^stat::number_of_executed_units|^stat::peak_rss_mb|^#[0-9]+.*DONE' \
            "$out/logs/$target.log" || true
    else
        status=1
        echo "$target: FOUND SOMETHING, see $out/logs/$target.log and $out/crashes/$target/"
        tail -n 40 "$out/logs/$target.log"
    fi
done
exit $status
