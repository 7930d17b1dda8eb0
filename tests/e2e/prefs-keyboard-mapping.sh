#!/bin/bash
# End to end under Xvfb with real X11 keys from xdotool: open Preferences (Ctrl+,), show
# the Controllers pane (Ctrl+2), choose "Keyboard", select the first row from the keyboard
# and press Up, left Shift and a. The first three rows of the settings file must then hold
# key(273), key(304) and key(97). While the next row listens, the window's shortcuts and
# mnemonics must leave the mapping and its date alone, and after every road away from the pane
# and back (shortcut, click, accessibility toggle over AT-SPI) the first key is stored. The next
# Play must write the mapping into InputAutoCfg.ini; then SIGTERM must end the Launcher and,
# through it, the emulator.
# Usage: prefs-keyboard-mapping.sh BIN_DIR     (exit 77 = skipped: no xvfb-run or xdotool)
set -u
. "$(dirname "$0")/e2e-common.sh"
ini_recorded() { [ -s "$work/record.ini" ]; }
keyboard_rows() { # the Keyboard mapping and its date, as stored
    python3 -c 'import plistlib, sys; s = plistlib.load(open(sys.argv[1], "rb"))
print(s["Controllers"]["Keyboard"]["Mapping"], s.get("ControllersLastModifedDate"))' "$settings"
}
panes() { # over AT-SPI: "toggle NAME" or "centre NAME" on a pane item, or "state": checked items, pane shown
    /usr/bin/python3 - "$launcher" "$@" <<'PY'
import pyatspi, sys
app = next(a for a in pyatspi.Registry.getDesktop(0) if a and a.get_process_id() == int(sys.argv[1]))
frame = next(f for f in app if f.name == 'Preferences')
bar = next(c for c in frame if c.getRoleName() == 'tool bar')
items = {c.name: c for c in bar if c.name}
verb, name = (sys.argv[2:] + [''])[:2]
if verb == 'toggle':
    action = items[name].queryAction()
    action.doAction(next(i for i in range(action.nActions) if action.getName(i) == 'Toggle'))
elif verb == 'centre':
    x, y, w, h = items[name].queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    print(x + w // 2, y + h // 2)
else:
    table = pyatspi.findDescendant(frame, lambda a: a.name == 'Controller mapping')
    shown = bool(table) and table.getState().contains(pyatspi.STATE_SHOWING)
    print(' '.join(n for n, c in items.items() if c.getState().contains(pyatspi.STATE_CHECKED)), shown)
PY
}
keys() { for key in "$@"; do xdotool key "$key"; sleep 0.3; done; }

"$bin/tolvane-make-rom" --size 8K --name "MAPPING TEST" "$work/demo.z64" >/dev/null || fail "could not make a ROM"

# Qt joins the accessibility bus only if it is there when the Launcher starts.
/usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
echo $! >> "$work/pids"
sleep 0.5
QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_QPA_PLATFORM=xcb "$bin/tolvane-launcher" "$work/demo.z64" >"$work/launcher.out" 2>&1 &
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

# Row 4 listens. Shortcuts and mnemonics, also Ctrl+W, Ctrl+0 (main window) and Ctrl+, back.
before=$(keyboard_rows)
keys ctrl+1 ctrl+2 ctrl+3 ctrl+2 alt+c Tab ctrl+comma ctrl+w
xdotool windowfocus --sync "$main"
keys ctrl+comma ctrl+0 ctrl+comma
[ "$(keyboard_rows)" = "$before" ] || fail "shortcuts changed the mapping: $before -> $(keyboard_rows)"

# After each road away and back, the first key goes into the listening row.
keys b ctrl+1 ctrl+2 c
for item in Video Controllers; do xdotool mousemove $(panes centre $item) click 1; sleep 0.3; done
keys d
panes toggle Video; sleep 0.3
[ "$(panes state)" = "Video False" ] || fail "toggling Video over AT-SPI gave: $(panes state)"
panes toggle Controllers; sleep 0.3; panes toggle Controllers; sleep 0.3
[ "$(panes state)" = "Controllers True" ] || fail "toggling Controllers over AT-SPI gave: $(panes state)"
keys e
keyboard_rows | grep -Fq "'key(273)', 'key(304)', 'key(97)', 'key(98)', 'key(99)', 'key(100)', 'key(101)'," \
    || fail "the first key after a round trip was lost: $(keyboard_rows)"

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
