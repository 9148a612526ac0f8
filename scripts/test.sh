#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole test suite, holding the tree to the
# gates CI holds it to: every source as clang-format writes it, no compiler warning, no
# clang-tidy finding, and a complete Debian package. Each gate also runs alone:
# scripts/check-format.sh, scripts/check-tidy.sh, scripts/package.sh followed by
# ctest --test-dir build -R package.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${VELMORA_BUILD_DIR:-$top/build}

# step NAME COMMAND...: runs the command and says how long it took.
step() {
    local name=$1 start=$SECONDS
    shift
    "$@"
    echo "test.sh: $name took $((SECONDS - start)) s"
}

step "the set-up" "$top/scripts/setup.sh"
step "the format check" "$top/scripts/check-format.sh"
step "the build" "$top/scripts/build.sh" -DVELMORA_BUILD_TESTS=ON -DVELMORA_BUILD_BENCH=ON \
    -DVELMORA_WERROR=ON
step "the package" "$top/scripts/package.sh"
export QT_QPA_PLATFORM=offscreen
step "the tests" ctest --test-dir "$build" --output-on-failure -j "$(nproc)"
step "clang-tidy" "$top/scripts/check-tidy.sh"

# Once more under AddressSanitizer and UndefinedBehaviorSanitizer, the whole tree but the
# benchmarks (nothing runs them there) in a build directory of its own (the first run builds it
# all again: several minutes on two cores).
# VELMORA_SANITIZE=0 skips this part.
if [ "${VELMORA_SANITIZE:-1}" != 0 ]; then
    asan_build=${VELMORA_ASAN_BUILD_DIR:-$build-asan}
    VELMORA_BUILD_DIR=$asan_build step "the sanitizer build" "$top/scripts/build.sh" \
        -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELMORA_ASAN=ON -DVELMORA_BUILD_BENCH=OFF \
        -DVELMORA_BUILD_TESTS=ON -DVELMORA_WERROR=ON
    ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:strict_string_checks=1} \
        LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$top/scripts/lsan.supp:print_suppressions=0} \
        UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1} \
        step "the sanitizer tests" ctest --test-dir "$asan_build" --output-on-failure -j "$(nproc)"
    # The sanitizer build of the program itself, driven with random input on a virtual display
    # (tests/soak/soak.sh) for VELMORA_SOAK_SECONDS (default 60; 0 skips it), from the seed
    # VELMORA_SOAK_SEED (default: from the clock; a finding names the seed that reproduces it).
    soak_seconds=${VELMORA_SOAK_SECONDS:-60}
    if [ "$soak_seconds" != 0 ]; then
        VELMORA_ASAN_BUILD_DIR=$asan_build step "the soak" "$top/tests/soak/soak.sh" \
            --seconds "$soak_seconds" ${VELMORA_SOAK_SEED:+--seed "$VELMORA_SOAK_SEED"}
    fi
fi

# On request (VELMORA_TSAN_PASS=1), once more under ThreadSanitizer; not part of the default run.
if [ "${VELMORA_TSAN_PASS:-0}" = 1 ]; then
    tsan_build=${VELMORA_TSAN_BUILD_DIR:-$build-tsan}
    VELMORA_BUILD_DIR=$tsan_build "$top/scripts/build.sh" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DVELMORA_TSAN=ON -DVELMORA_BUILD_BENCH=OFF
    TSAN_OPTIONS=${TSAN_OPTIONS:-halt_on_error=1:suppressions=$top/scripts/tsan.supp} \
        ctest --test-dir "$tsan_build" --output-on-failure -j "$(nproc)"
fi
