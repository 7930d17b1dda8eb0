#!/usr/bin/env bash
# Builds the Launcher and runs the whole test suite.
#   scripts/test.sh              Release build in build/
#   scripts/test.sh --sanitize   AddressSanitizer + UndefinedBehaviorSanitizer build in build-asan/
#   Further arguments are CMake options (CI: -DTOLVANE_BUILD_BENCHMARKS=OFF).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/install-deps.sh"
# The Qt and GoogleTest headers are precompiled (cmake/Precompiled.cmake); a compiler cache
# takes precompiled headers only with this sloppiness.
export CCACHE_SLOPPINESS="${CCACHE_SLOPPINESS:-pch_defines,time_macros}"

build="$top/build"
options=(-DCMAKE_BUILD_TYPE=Release -DTOLVANE_BUILD_TESTS=ON)
if [[ "${1:-}" == "--sanitize" ]]; then
    shift
    build="$top/build-asan"
    # The suite alone: the benchmarks mean nothing under the sanitizers and cost build time.
    options=(-DCMAKE_BUILD_TYPE=Debug -DTOLVANE_SANITIZE=ON -DTOLVANE_BUILD_TESTS=ON -DTOLVANE_BUILD_BENCHMARKS=OFF)
    export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:strict_string_checks=1"
    export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
    export LSAN_OPTIONS="suppressions=$top/tests/sanitizer/lsan.supp:print_suppressions=0"
fi

cmake -S "$top" -B "$build" -G Ninja "${options[@]}" "$@"
cmake --build "$build" -j"$(nproc)"
ctest --test-dir "$build" --output-on-failure -j2 --timeout 300
