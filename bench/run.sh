#!/usr/bin/env bash
# Installs what the benchmarks need, builds (Release), makes the corpus and measures Velmora's
# conversion against the minimal libjpeg-turbo loop and the peer converters.
# BENCH_REPEAT sets the repetitions (default 3), BENCH_NICE the priority of the measured
# processes (for example -10, as root); VELMORA_BUILD_DIR the build directory.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
top=$(dirname "$here")
"$here/setup.sh"
"$top/scripts/build.sh" -DCMAKE_BUILD_TYPE=Release
"$here/make_corpus.sh"
exec /usr/bin/python3 "$here/compare.py"
