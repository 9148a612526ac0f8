#!/usr/bin/env bash
# Writes the fuzzers' seed corpus into DIR (default fuzz/out/seeds): small JPEG files of every
# kind made by the fuzz build's make_corpus, plus the kept regression inputs.
#   fuzz/make_corpus.sh BUILD_DIR [DIR]
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${1:?usage: make_corpus.sh BUILD_DIR [DIR]}
out=${2:-$top/fuzz/out/seeds}
rm -rf "$out"
"$build/fuzz/make_corpus" "$out" "$top/tests/data/fuzz-regressions"
echo "seeds: $(ls "$out/decode" | wc -l) decode, $(ls "$out/compress_file" | wc -l) compress_file, $(ls "$out/settings" | wc -l) settings"
