#!/bin/sh
# Times tolvane-rominfo against md5sum on the same 64 MiB synthetic image, in each of the
# three byte orders, and reports the median wall-time and CPU-time (user + system) ratios and
# tolvane-rominfo's peak RSS.
#
# Usage: bench/rominfo-bench.sh BUILD_DIR [ROUNDS]
# Build BUILD_DIR as Release first (targets tolvane-rominfo and tolvane-make-rom).
set -eu

if [ $# -lt 1 ]; then
    echo "usage: $0 BUILD_DIR [ROUNDS]" >&2
    exit 2
fi
build=$1
rounds=${2:-7}
here=$(cd "$(dirname "$0")" && pwd)
exec python3 "$here/rominfo_bench.py" --build "$build" --rounds "$rounds"
