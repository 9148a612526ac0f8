#!/usr/bin/env bash
# Installs what the benchmarks need, builds (Release), makes the corpus and measures Velmora's
# conversion against the minimal libjpeg-turbo loop and the peer converters.
# BENCH_REPEAT sets the repetitions (default 3); BENCH_NICE (for example -10, as root) the
# priority of the measurements over the machine's other work; VELMORA_BUILD_DIR the build
# directory.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
top=$(dirname "$here")
"$here/setup.sh"
"$top/scripts/build.sh" -DCMAKE_BUILD_TYPE=Release -DVELMORA_BUILD_BENCH=ON
"$here/make_corpus.sh"
if [ -n "${BENCH_NICE:-}" ]; then
    # A session of its own, so that the scheduler's per-session group can be given the
    # priority: other sessions' work otherwise shares the processors with it as equals.
    exec setsid -w /usr/bin/python3 "$here/compare.py"
fi
exec /usr/bin/python3 "$here/compare.py"
