#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole test suite.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${VELMORA_BUILD_DIR:-$top/build}
"$top/scripts/setup.sh"
"$top/scripts/build.sh"
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$build" --output-on-failure -j "$(nproc)"

# Once more under AddressSanitizer and UndefinedBehaviorSanitizer, the whole tree in a build
# directory of its own (the first run builds it all again: several minutes on two cores).
# VELMORA_SANITIZE=0 skips this part.
if [ "${VELMORA_SANITIZE:-1}" != 0 ]; then
    asan_build=${VELMORA_ASAN_BUILD_DIR:-$build-asan}
    VELMORA_BUILD_DIR=$asan_build "$top/scripts/build.sh" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DVELMORA_ASAN=ON
    ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:strict_string_checks=1} \
        LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$top/scripts/lsan.supp:print_suppressions=0} \
        UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1} \
        ctest --test-dir "$asan_build" --output-on-failure -j "$(nproc)"
fi
