#!/usr/bin/env bash
# Builds the Launcher and starts it. Without a display it runs under Xvfb with a demo ROM
# and saves a screenshot instead (see scripts/run-demo.sh).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/install-deps.sh" --run

# The test suite is scripts/test.sh's; here only the programs are built.
cmake -S "$top" -B "$top/build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTOLVANE_BUILD_TESTS=OFF
cmake --build "$top/build" -j"$(nproc)"

if [[ -n "${DISPLAY:-}" || -n "${WAYLAND_DISPLAY:-}" ]]; then
    exec "$top/build/bin/tolvane-launcher" "$@"
fi
exec "$top/scripts/run-demo.sh" "$top/build"
