#!/usr/bin/env bash
# Kills velmora-convert with SIGKILL at random moments while it converts a photograph onto
# itself, and counts what each trial leaves in the directory: the whole old photograph, the
# whole new one, anything else (a damaged photograph), and leftover temporary files. After a
# trial that left any, one more conversion writes into the directory, and what it leaves is
# counted: the writer removes the temporary files of processes that are gone.
#
# usage: bench/kill_loop.sh [CONVERTER [SOURCE.jpg]]
# CONVERTER defaults to the build's velmora-convert, SOURCE to the corpus's 12-megapixel
# baseline picture (made by make_corpus.sh when missing). KILL_TRIALS sets the number of trials
# (default 400), KILL_SEED the seed of the random moments.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
top=$(dirname "$here")
converter=${1:-${VELMORA_BUILD_DIR:-$top/build}/cli/velmora-convert}
source=${2:-}
if [ -z "$source" ]; then
    "$here/make_corpus.sh"
    source=$here/corpus/p12-baseline.jpg
fi
trials=${KILL_TRIALS:-400}
RANDOM=${KILL_SEED:-$$}

work=$(mktemp -d)
references=$(mktemp -d)
trap 'rm -rf "$work" "$references"' EXIT
photo=$work/photo.jpg

# What each conversion writes, and how long it takes: the kills fall anywhere in that time
# and a little after it.
percents=("-c 30 -r 100" "-c 30 -r 50")
expected=()
longest_ms=0
for i in "${!percents[@]}"; do
    cp "$source" "$photo"
    start=$(date +%s%N)
    # shellcheck disable=SC2086
    "$converter" ${percents[$i]} -o "$work" "$photo" >/dev/null
    took_ms=$((($(date +%s%N) - start) / 1000000))
    ((took_ms > longest_ms)) && longest_ms=$took_ms
    cp "$photo" "$references/$i.jpg"
    expected+=("$references/$i.jpg")
done
window_ms=$((longest_ms * 12 / 10))

old=0 new=0 damaged=0 trials_with_leftovers=0 leftovers=0 not_removed=0
for ((trial = 0; trial < trials; ++trial)); do
    which=$((trial % 2))
    cp "$source" "$photo"
    # shellcheck disable=SC2086
    "$converter" ${percents[$which]} -o "$work" "$photo" >/dev/null 2>&1 &
    pid=$!
    delay_ms=$((RANDOM * 32768 + RANDOM))
    delay_ms=$((delay_ms % (window_ms + 1)))
    sleep "$(printf '%d.%03d' $((delay_ms / 1000)) $((delay_ms % 1000)))"
    kill -KILL "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true

    if cmp -s "$photo" "$source"; then
        old=$((old + 1))
    elif cmp -s "$photo" "${expected[$which]}"; then
        new=$((new + 1))
    else
        damaged=$((damaged + 1))
    fi
    left=$(find "$work" -mindepth 1 ! -name photo.jpg | wc -l)
    if ((left > 0)); then
        trials_with_leftovers=$((trials_with_leftovers + 1))
        leftovers=$((leftovers + left))
        # The next conversion into the directory, left to finish.
        cp "$source" "$photo"
        "$converter" -c 30 -r 100 -o "$work" "$photo" >/dev/null
        still=$(find "$work" -mindepth 1 ! -name photo.jpg | wc -l)
        if ((still > 0)); then
            not_removed=$((not_removed + 1))
            find "$work" -mindepth 1 ! -name photo.jpg -delete
        fi
    fi
done

echo "trials $trials (kills within ${window_ms} ms of the start)"
echo "whole old photograph $old, whole new photograph $new, damaged $damaged"
echo "trials that left temporary files $trials_with_leftovers ($leftovers files in all)"
echo "of these, trials whose files the next conversion into the directory left $not_removed"
