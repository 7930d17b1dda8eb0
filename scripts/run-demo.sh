#!/usr/bin/env bash
# Starts the Launcher for a look. With a display it simply starts build/bin/tolvane-launcher.
# Without one it starts it under Xvfb with a generated demo ROM, saves a screenshot of the
# window under the build directory, prints where, and exits.
# Usage: scripts/run-demo.sh [BUILD_DIR]     (default: build)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$top/build}" && pwd)
bin="$build/bin"
[[ -x "$bin/tolvane-launcher" ]] || { echo "No $bin/tolvane-launcher: build first (scripts/run.sh)." >&2; exit 1; }

if [[ -n "${DISPLAY:-}" || -n "${WAYLAND_DISPLAY:-}" ]]; then
    exec "$bin/tolvane-launcher"
fi

# Debian packages for the headless run: Xvfb, xdotool to find the window, ImageMagick's import.
need=()
command -v xvfb-run >/dev/null || need+=(xvfb xauth)
command -v xdotool >/dev/null || need+=(xdotool)
command -v import >/dev/null || need+=(imagemagick)
if [[ ${#need[@]} -gt 0 ]]; then
    sudo=()
    [[ $(id -u) -ne 0 ]] && sudo=(sudo)
    echo "Installing: ${need[*]}"
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null \
        || { "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq \
             && "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null; }
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
rom="$work/Tolvane Demo.z64"
if [[ -x "$bin/tolvane-make-rom" ]]; then
    "$bin/tolvane-make-rom" --name "TOLVANE DEMO" --game-code "NTDE" "$rom" >/dev/null
else
    # A synthetic image: a z64 header with a name, then filler up to 8 KiB.
    python3 - "$rom" <<'PY'
import sys
image = bytearray(8192)
image[0:4] = b"\x80\x37\x12\x40"
image[0x10:0x18] = bytes.fromhex("0123ABCD89EF4567")
image[0x20:0x2D] = b"TOLVANE DEMO\0"
image[0x3B:0x40] = b"NTDE\0"
for i in range(0x1000, len(image)):
    image[i] = (i * 37) & 0xFF
open(sys.argv[1], "wb").write(image)
PY
fi

shot="$build/tolvane-launcher-screenshot.png"
# A private settings folder and socket, so the demo neither touches nor joins a real session.
mkdir -p "$work/config" "$work/run" && chmod 700 "$work/run"
export HOME="$work" XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/run" ROM="$rom" SHOT="$shot" LAUNCHER="$bin/tolvane-launcher"
xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
    "$LAUNCHER" "$ROM" &
    launcher=$!
    window=$(timeout 30 xdotool search --sync --onlyvisible --name "Tolvane Launcher$" | head -n 1)
    sleep 1
    if [[ -n "$window" ]]; then import -window "$window" "$SHOT"; else import -window root "$SHOT"; fi
    kill "$launcher"; wait "$launcher" 2>/dev/null || true
'
[[ -s "$shot" ]] || { echo "No screenshot was taken." >&2; exit 1; }
echo "Screenshot of the Launcher showing $(basename "$rom"): $shot"
