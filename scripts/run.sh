#!/usr/bin/env bash
# Installs what building and running need, builds the program and velmora-convert (nothing
# else: no tests, no benchmarks), and starts the program.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
"$top/scripts/setup.sh" --run
VELMORA_BUILD_TARGETS="velmora velmora-convert" "$top/scripts/build.sh" \
    -DVELMORA_BUILD_TESTS=OFF -DVELMORA_BUILD_BENCH=OFF
exec "${VELMORA_BUILD_DIR:-$top/build}/app/velmora" "$@"
