#!/usr/bin/env bash
# Builds the libFuzzer targets with clang-14 in build-fuzz/ and runs each on a copy of its
# seed corpus. A crash, a leak, a timeout or a sanitizer report ends the run with failure.
#   scripts/fuzz.sh [SECONDS] [TARGET...]   default: 60 s for each of RomReaderFuzzer,
#                                           SettingsFuzzer, ArchiveReaderFuzzer, DatReaderFuzzer
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
shift || true
targets=("$@")
[[ ${#targets[@]} -gt 0 ]] || targets=(RomReaderFuzzer SettingsFuzzer ArchiveReaderFuzzer DatReaderFuzzer)
build="$top/build-fuzz"
"$top/scripts/install-deps.sh"

# Without precompiled headers: their kinds follow GCC's rules for reusing one, and these
# targets need only a few dozen files.
CC=clang-14 CXX=clang++-14 cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DTOLVANE_FUZZ=ON -DTOLVANE_BUILD_TESTS=OFF -DTOLVANE_PCH=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" --target "${targets[@]}"

export ASAN_OPTIONS="detect_leaks=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export LSAN_OPTIONS="suppressions=$top/tests/sanitizer/lsan.supp:print_suppressions=0"
for target in "${targets[@]}"; do
    # ROM images start at 4 KiB, above libFuzzer's default input length.
    case "$target" in
        RomReaderFuzzer) corpus=rom max_len=16384 ;;
        ArchiveReaderFuzzer) corpus=archive max_len=16384 ;;
        DatReaderFuzzer) corpus=dat max_len=65536 ;;
        *) corpus=settings max_len=65536 ;;
    esac
    work=$(mktemp -d)
    cp "$top/tests/fuzz/corpus/$corpus"/* "$work/"
    echo "== $target for ${seconds}s"
    status=0
    "$build/bin/$target" -max_total_time="$seconds" -max_len="$max_len" -timeout=10 -rss_limit_mb=2048 \
        -print_final_stats=1 -artifact_prefix="$build/$target-" "$work" >"$build/$target.log" 2>&1 || status=$?
    rm -rf "$work"
    # The progress lines are many; the closing ones hold the coverage and any report.
    if [[ $status -ne 0 ]]; then
        tail -n 200 "$build/$target.log"
        echo "FAIL: $target (log and reproducer in $build)"
        exit 1
    fi
    grep -E '^#[0-9]+.*(DONE|INITED)' "$build/$target.log" || true
    grep -E '^stat::' "$build/$target.log" || true
done
echo "fuzz: ${#targets[@]} passed, 0 failed"
