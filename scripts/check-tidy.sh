#!/usr/bin/env bash
# Fails on any finding of clang-tidy (the checks in .clang-tidy) in the repository's own
# sources and headers, compiled as the build in build/ compiles them (its
# compile_commands.json; scripts/build.sh makes it). Runs one clang-tidy per processor.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${VELMORA_BUILD_DIR:-$top/build}
[ -f "$build/compile_commands.json" ] ||
    { echo "check-tidy: no $build/compile_commands.json (scripts/build.sh makes it)" >&2; exit 1; }
ours="^$top/(app|cli|core|ui|widgets|tests|bench|fuzz)/"
run-clang-tidy-14 -p "$build" -j "$(nproc)" -quiet -header-filter="$ours" "$ours"
