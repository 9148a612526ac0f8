#!/usr/bin/env bash
# Installs what is missing, builds, and starts the program.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
"$top/scripts/setup.sh"
"$top/scripts/build.sh"
exec "${VELMORA_BUILD_DIR:-$top/build}/app/velmora" "$@"
