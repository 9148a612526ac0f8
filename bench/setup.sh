#!/usr/bin/env bash
# Installs what the benchmarks need beyond the build: the photographs the corpus is made from
# and the peer converters they are measured against. Safe to re-run.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
"$top/scripts/setup.sh" \
    mate-backgrounds \
    imagemagick libjpeg-turbo-progs netpbm libvips-tools \
    python3 python3-pil time
