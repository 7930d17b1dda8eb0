#!/usr/bin/env bash
# Starts the Launcher for a look. With a display it simply starts build/bin/tolvane-launcher.
# Without one it starts it under Xvfb with a generated demo library (a few ROMs with covers,
# shown as a grid, one of them open and one a favourite), saves a screenshot of the window under the build
# directory, prints where, and exits.
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
# A small demo library: a few generated ROMs, each with a generated cover beside it.
lib="$work/Demo Library"
mkdir -p "$lib"
make_rom() { # NAME GAME_CODE FILE
    if [[ -x "$bin/tolvane-make-rom" ]]; then
        "$bin/tolvane-make-rom" --name "$1" --game-code "$2" "$3" >/dev/null
    else
        # A synthetic image: a z64 header with a name and game code, then filler up to 8 KiB.
        python3 - "$1" "$2" "$3" <<'PY'
import sys
name, code, path = sys.argv[1:4]
image = bytearray(8192)
image[0:4] = b"\x80\x37\x12\x40"
image[0x10:0x18] = bytes.fromhex("0123ABCD89EF4567")
image[0x20:0x34] = name.encode().ljust(20)[:20]
image[0x3B:0x3F] = code.encode()[:4]
for i in range(0x1000, len(image)):
    image[i] = (i * 37 + len(name)) & 0xFF
open(path, "wb").write(image)
PY
    fi
}
colours=("#3465a4" "#cc0000" "#4e9a06" "#c4a000" "#75507b")
i=0
for name in "TOLVANE DEMO" "ORBIT RALLY" "CASTLE QUEST" "PUZZLE GARDEN" "STAR HARBOUR"; do
    file="$lib/${name// /_}"
    make_rom "$name" "NTD$((i + 1))" "$file.z64"
    # A cover of a box's proportions: a shaded ground, a disc and the title.
    convert -size 240x336 "gradient:${colours[i]}-#101418" -fill "rgba(255,255,255,0.25)" -draw "circle 120,140 120,60" \
        -font DejaVu-Sans-Bold -gravity center -fill white -pointsize 28 -annotate +0+100 "${name// /\\n}" "$file.png" 2>/dev/null \
        || convert -size 240x336 "gradient:${colours[i]}-#101418" "$file.png"
    i=$((i + 1))
done
rom="$lib/TOLVANE_DEMO.z64"

shot="$build/tolvane-launcher-screenshot.png"
# A private settings folder and socket, so the demo neither touches nor joins a real session.
mkdir -p "$work/config/tolvane-launcher" "$work/run" && chmod 700 "$work/run"
# The demo library in the grid.
cat > "$work/config/tolvane-launcher/settings.plist" <<PLIST
<?xml version="1.0" encoding="UTF-8"?>
<!DOCTYPE plist PUBLIC "-//Apple//DTD PLIST 1.0//EN" "http://www.apple.com/DTDs/PropertyList-1.0.dtd">
<plist version="1.0"><dict><key>LibraryFolders</key><array><string>$lib</string></array><key>LibraryView</key><string>Grid</string></dict></plist>
PLIST
export HOME="$work" XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" XDG_CACHE_HOME="$work/cache" XDG_RUNTIME_DIR="$work/run" ROM="$rom" SHOT="$shot" LAUNCHER="$bin/tolvane-launcher"
xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
    "$LAUNCHER" "$ROM" &
    launcher=$!
    window=$(timeout 30 xdotool search --sync --onlyvisible --name "Tolvane Launcher$" | head -n 1)
    sleep 1
    # One favourite, marked as a player would: Down selects the first game from the search
    # field, Ctrl+D marks it.
    if [[ -n "$window" ]]; then
        xdotool windowfocus --sync "$window" key --delay 100 Down ctrl+d
        sleep 1
    fi
    if [[ -n "$window" ]]; then import -window "$window" "$SHOT"; else import -window root "$SHOT"; fi
    kill "$launcher"; wait "$launcher" 2>/dev/null || true
'
[[ -s "$shot" ]] || { echo "No screenshot was taken." >&2; exit 1; }
echo "Screenshot of the Launcher showing $(basename "$rom"): $shot"
