#!/usr/bin/env bash
# Builds the Debian package build/packages/velmora_VERSION_amd64.deb: the two programs, their
# manual pages, the desktop entry, the icon and the software-centre metadata, from the Release
# build in build/ (configured first when it is not). Extra arguments go to cmake.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${VELMORA_BUILD_DIR:-$top/build}
VELMORA_BUILD_TARGETS="velmora velmora-convert velmora_man" "$top/scripts/build.sh" "$@"
rm -f "$build"/packages/velmora_*.deb
(cd "$build" && cpack --config CPackConfig.cmake >/dev/null)
ls "$build"/packages/velmora_*.deb
