#!/usr/bin/env bash
# Configures (Release, Ninja) and builds into build/ beside the sources; extra arguments go to
# cmake. VELMORA_BUILD_TARGETS (space-separated) builds only those targets instead of all.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${VELMORA_BUILD_DIR:-$top/build}
cmake -S "$top" -B "$build" -G Ninja "$@" >/dev/null
read -r -a targets <<<"${VELMORA_BUILD_TARGETS:-}"
cmake --build "$build" ${targets[@]+--target "${targets[@]}"}
