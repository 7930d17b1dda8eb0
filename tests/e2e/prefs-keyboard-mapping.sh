#!/bin/bash
# End to end under Xvfb with real X11 keys from xdotool: open Preferences (Ctrl+,), show
# the Controllers pane (Ctrl+2), choose "Keyboard", select the first row from the keyboard
# and press Up, left Shift and a. The first three rows of the settings file must then hold
# key(273), key(304) and key(97), and the next Play must write them into InputAutoCfg.ini.
# Then SIGTERM must end the Launcher and, through it, the emulator.
# Usage: prefs-keyboard-mapping.sh BIN_DIR     (exit 77 = skipped: no xvfb-run or xdotool)
set -u
. "$(dirname "$0")/e2e-common.sh"
ini_recorded() { [ -s "$work/record.ini" ]; }

"$bin/tolvane-make-rom" --size 8K --name "MAPPING TEST" "$work/demo.z64" >/dev/null || fail "could not make a ROM"

QT_QPA_PLATFORM=xcb "$bin/tolvane-launcher" "$work/demo.z64" >"$work/launcher.out" 2>&1 &
launcher=$!

main=$(timeout 20 xdotool search --sync --onlyvisible --pid "$launcher" --name 'Tolvane' | head -n 1)
[ -n "$main" ] || fail "the main window did not appear"
xdotool windowfocus --sync "$main"
xdotool key --clearmodifiers ctrl+comma
prefs=$(timeout 20 xdotool search --sync --onlyvisible --name '^Preferences$' | head -n 1)
[ -n "$prefs" ] || fail "the preferences window did not appear"
xdotool windowfocus --sync "$prefs"
sleep 0.5
xdotool key ctrl+2
sleep 0.5
# The pop-up by its mnemonic; "Keyboard" is the last title. Tab enters the table, whose
# current cell is the first row, and Space selects it, which arms the key capture.
for key in alt+c End Return Tab space Up Shift_L a; do
    xdotool key "$key"
    sleep 0.3
done

python3 - "$settings" <<'PY' || fail "mapping not stored"
import plistlib, sys
with open(sys.argv[1], 'rb') as f:
    settings = plistlib.load(f)
rows = settings['Controllers']['Keyboard']['Mapping'][:3]
expected = ['key(273)', 'key(304)', 'key(97)']
if rows != expected:
    sys.exit('first three Keyboard rows are %r, expected %r' % (rows, expected))
if 'ControllersLastModifedDate' not in settings:
    sys.exit('no ControllersLastModifedDate')
PY

# The next Play writes the new mapping for the emulator.
xdotool windowfocus --sync "$main"
sleep 0.3
xdotool key --clearmodifiers ctrl+r
wait_until 15 ini_recorded || fail "the stand-in emulator did not start or found no InputAutoCfg.ini"
python3 - "$work/record.ini" <<'PY' || fail "InputAutoCfg.ini lacks the new mapping"
import sys
text = open(sys.argv[1], encoding='utf-8').read()
section = text.split('[Keyboard]\n', 1)
if len(section) != 2:
    sys.exit('no [Keyboard] section in:\n' + text)
lines = section[1].split('\n\n', 1)[0].splitlines()
for expected in ('A = key(273)', 'B = key(304)', 'Z = key(97)'):
    if expected not in lines:
        sys.exit('%r missing from the Keyboard section:\n%s' % (expected, '\n'.join(lines)))
PY

# Ended by the session rather than by Quit, after SDL has been set up: the Launcher still
# ends, and asks its emulator to end.
emulator=$(head -n 1 "$work/record.pid")
kill -TERM "$launcher"
wait_until 15 launcher_gone || fail "the Launcher ignored SIGTERM"
wait_until 15 gone "$emulator" || fail "the emulator $emulator outlived the Launcher"
launcher=0
echo "PASS: keyboard mapping captured, stored and handed to the emulator; SIGTERM ended both"
