#!/bin/sh
# End to end under Xvfb with real X11 keys: open Preferences, choose "Keyboard", select the
# first row and press Up, left Shift and a; the first three rows of the settings file must
# then hold key(273), key(304) and key(97).
# Usage: prefs-keyboard-mapping.sh <bin dir>. Exits 77 (skipped) without xvfb-run or xdotool.
set -eu
bindir=$1
command -v xvfb-run >/dev/null 2>&1 || exit 77
command -v xdotool >/dev/null 2>&1 || exit 77
command -v python3 >/dev/null 2>&1 || exit 77

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export HOME="$work/home" XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/run"
mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
unset QT_QPA_PLATFORM

cat >"$work/drive.sh" <<'DRIVE'
set -eu
export QT_QPA_PLATFORM=xcb
"$1" >"$2/launcher.out" 2>&1 &
app=$!
main=$(xdotool search --sync --onlyvisible --pid "$app" --name 'Tolvane' | head -n 1)
xdotool windowfocus --sync "$main"
xdotool key --clearmodifiers ctrl+comma
prefs=$(xdotool search --sync --onlyvisible --name '^Preferences$' | head -n 1)
xdotool windowfocus --sync "$prefs"
sleep 0.5
xdotool key ctrl+2
sleep 0.5
# The pop-up by its mnemonic, the last title ("Keyboard"), then Tab into the table.
xdotool key alt+c
sleep 0.2
xdotool key End
sleep 0.2
xdotool key Return
sleep 0.2
xdotool key Tab
sleep 0.2
xdotool key Home
sleep 0.3
xdotool key Up
sleep 0.2
xdotool key Shift_L
sleep 0.2
xdotool key a
sleep 0.5
xdotool key ctrl+q
wait "$app" || true
DRIVE

xvfb-run -a sh "$work/drive.sh" "$bindir/tolvane-launcher" "$work"

python3 - "$XDG_CONFIG_HOME/tolvane-launcher/settings.plist" <<'PY'
import plistlib, sys
with open(sys.argv[1], 'rb') as f:
    settings = plistlib.load(f)
rows = settings['Controllers']['Keyboard']['Mapping'][:3]
expected = ['key(273)', 'key(304)', 'key(97)']
if rows != expected:
    print(open(sys.argv[1].replace('config/tolvane-launcher/settings.plist','launcher.out')).read(), file=sys.stderr)
    sys.exit('first three Keyboard rows are %r, expected %r' % (rows, expected))
PY
