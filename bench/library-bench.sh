#!/bin/sh
# Runs every library benchmark on a Release build: first scan of 1 GiB against md5sum, warm
# rescan of 10,000 cached images against find's stat-only walk, the GUI thread's worst stall
# during a cold scan, first scans of 4,000 and 20,000 images of 32 KiB in 2,000 folders against
# md5sum plus start-up, a renamed folder of 1,000 images (read: none), and the single-file
# case (rominfo-bench.sh). The small-file part alone:
#     python3 bench/library_bench.py --build BUILD_DIR --small-only
#
# Usage: bench/library-bench.sh BUILD_DIR [ROUNDS]
set -eu
if [ $# -lt 1 ]; then
    echo "usage: $0 BUILD_DIR [ROUNDS]" >&2
    exit 2
fi
here=$(cd "$(dirname "$0")" && pwd)
status=0
python3 "$here/library_bench.py" --build "$1" --rounds "${2:-5}" || status=1
echo "single file:"
"$here/rominfo-bench.sh" "$1" "${2:-7}" || status=1
exit $status
