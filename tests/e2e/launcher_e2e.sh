#!/bin/bash
# End to end: the real Launcher under Xvfb, driven by real X11 keys from xdotool, with a
# synthetic ROM opened from the command line. Preferences (Ctrl+,), Controllers pane (Ctrl+2):
# choose "Keyboard", select the first row from the keyboard and press Up, left Shift and a;
# the settings file must hold key(273), key(304) and key(97). Ctrl+R plays the ROM in the
# stand-in emulator, whose InputAutoCfg.ini holds those keys; Ctrl+. stops it. A second start
# with another ROM hands it over and exits; Ctrl+R plays that one, and SIGTERM then ends the
# Launcher and, through it, the emulator. A stale socket file must not stop the first start.
# Usage: launcher_e2e.sh BIN_DIR     (exit 77 = skipped: no xvfb-run or xdotool)
set -u
. "$(dirname "$0")/e2e-common.sh"
recorded() { [ -s "$work/record" ]; }

rom="$work/demo game.z64"
"$bin/tolvane-make-rom" --name "E2E DEMO" "$rom" >/dev/null || fail "could not write the ROM"
python3 -c 'import socket, sys; socket.socket(socket.AF_UNIX).bind(sys.argv[1])' "$XDG_RUNTIME_DIR/tolvane-launcher.socket"
QT_QPA_PLATFORM=xcb "$bin/tolvane-launcher" "$rom" >"$work/launcher.out" 2>&1 &
launcher=$!
main=$(timeout 30 xdotool search --sync --onlyvisible --pid "$launcher" --name '^Tolvane Launcher$' | head -n 1)
[ -n "$main" ] || fail "the main window did not appear"
xdotool windowfocus --sync "$main"
xdotool key --clearmodifiers ctrl+comma
prefs=$(timeout 20 xdotool search --sync --onlyvisible --name '^Preferences$' | head -n 1)
[ -n "$prefs" ] || fail "the preferences window did not appear"
xdotool windowfocus --sync "$prefs"
sleep 0.5
# Ctrl+2 shows the pane; the pop-up by its mnemonic, "Keyboard" is the last title; Tab enters
# the table, whose current cell is the first row, and Space selects it, arming the capture.
for key in ctrl+2 alt+c End Return Tab space Up Shift_L a; do
    xdotool key "$key"
    sleep 0.3
done
python3 - "$settings" <<'PY' || fail "mapping not stored"
import plistlib, sys
settings = plistlib.load(open(sys.argv[1], 'rb'))
rows = settings['Controllers']['Keyboard']['Mapping'][:3]
if rows != ['key(273)', 'key(304)', 'key(97)'] or 'ControllersLastModifedDate' not in settings:
    sys.exit('first three Keyboard rows are %r' % rows)
PY

press() {
    xdotool windowfocus --sync "$main" 2>/dev/null || true
    sleep 0.3
    xdotool key --clearmodifiers "$1"
}
press ctrl+r
wait_until 30 recorded || fail "Ctrl+R did not start the emulator"
tr '\0' '\n' < "$work/record" | grep -Fxq "$rom" || fail "the emulator was not given the ROM: $(tr '\0' ' ' < "$work/record")"
grep -zq $'\\[Keyboard\\]\nplugged = True\nplugin = 2\nmouse = False\nA = key(273)\nB = key(304)\nZ = key(97)\n' "$work/record.ini" \
    || fail "InputAutoCfg.ini lacks the new mapping: $(cat "$work/record.ini")"
first=$(head -n 1 "$work/record.pid")
cat "$work/record.pid" >> "$work/pids"
press ctrl+period
wait_until 30 gone "$first" || fail "Ctrl+. did not stop the emulator"
grep -q '^Task ended by app$' "$work/launcher.out" || fail "no log line for the stopped emulator"

rm -f "$work/record" "$work/record.pid"
"$bin/tolvane-make-rom" "$work/other.v64" >/dev/null || fail "could not write the second ROM"
(cd "$work" && timeout 20 "$bin/tolvane-launcher" other.v64) || fail "a second start did not hand over its file"
# Play is offered again once the end notice has been handled.
wait_until 30 bash -c "xdotool key --clearmodifiers ctrl+r; sleep 0.5; [ -s '$work/record' ]" || fail "a second Play did not start"
tr '\0' '\n' < "$work/record" | grep -Fxq "$work/other.v64" || fail "the handed-over ROM was not played"
cat "$work/record.pid" >> "$work/pids"
# Ended by the session rather than by Quit: the Launcher ends and asks its emulator to end.
kill -TERM "$launcher"
wait_until 15 launcher_gone || fail "the Launcher ignored SIGTERM"
launcher=0
for pid in $(cat "$work/pids"); do
    wait_until 30 gone "$pid" || fail "process $pid was left behind"
done
echo "PASS: keys mapped, played with them, stopped, played again; SIGTERM left nothing behind"
