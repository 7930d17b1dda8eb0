#!/bin/sh
# Zipped ROMs: first scan of 64 x 16 MiB images as .zip and as .7z against sequential
# `unzip -p | md5sum` and `7zr e -so | md5sum`, peak memory, and a warm rescan of 10,000
# cached archive entries against find's stat-only walk. Needs zip, unzip and 7zr (p7zip).
#
# Usage: bench/archive-bench.sh BUILD_DIR [ROUNDS]
set -eu
if [ $# -lt 1 ]; then
    echo "usage: $0 BUILD_DIR [ROUNDS]" >&2
    exit 2
fi
here=$(cd "$(dirname "$0")" && pwd)
exec python3 "$here/archive_bench.py" --build "$1" --rounds "${2:-3}"
