#!/bin/bash
# End to end: the real Launcher under Xvfb, driven by real X11 keys from xdotool and by the
# accessibility bus, with a synthetic ROM opened from the command line. Preferences (Ctrl+,),
# Controllers pane (Ctrl+2): choose "Keyboard", select the first row from the keyboard and press
# Up, left Shift and a; the settings file must hold key(273), key(304) and key(97). While the
# next row listens, the window's shortcuts and mnemonics leave the mapping and its date alone,
# and after every road away from the pane and back (shortcut, click, AT-SPI toggle) the first
# key is stored. Ctrl+R plays the ROM in the stand-in emulator, whose InputAutoCfg.ini holds
# those keys; the Open chooser does not block, so Ctrl+. stops it, and a second Ctrl+O brings
# the same chooser forward. A second start with another ROM hands it over and exits; Ctrl+R
# plays that one, and SIGTERM then ends the Launcher and, through it, the emulator. A stale
# socket file must not stop the first start, nor a closed standard output the Launcher.
# Usage: launcher_e2e.sh BIN_DIR     (exit 77 = skipped: no xvfb-run or xdotool)
set -u
. "$(dirname "$0")/e2e-common.sh"
recorded() { [ -s "$work/record" ]; }
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

rom="$work/demo game.z64"
"$bin/tolvane-make-rom" --name "E2E DEMO" "$rom" >/dev/null || fail "could not write the ROM"
python3 -c 'import socket, sys; socket.socket(socket.AF_UNIX).bind(sys.argv[1])' "$XDG_RUNTIME_DIR/tolvane-launcher.socket"
# Qt joins the accessibility bus only if it is there when the Launcher starts.
/usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
echo $! >> "$work/pids"
sleep 0.5
# Its standard output is a pipe whose reader has gone (as "tolvane-launcher | head"): what the
# emulator says on it must not kill the Launcher.
export TOLVANE_FAKE_SAY=e2e
QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_QPA_PLATFORM=xcb "$bin/tolvane-launcher" "$rom" 2>"$work/launcher.out" > >(true) &
launcher=$!
main=$(timeout 30 xdotool search --sync --onlyvisible --pid "$launcher" --name 'Tolvane Launcher$' | head -n 1)
[ -n "$main" ] || fail "the main window did not appear"
xdotool windowfocus --sync "$main"
xdotool key --clearmodifiers ctrl+comma
prefs=$(timeout 20 xdotool search --sync --onlyvisible --name '^Preferences$' | head -n 1)
[ -n "$prefs" ] || fail "the preferences window did not appear"
xdotool windowfocus --sync "$prefs"
sleep 0.5
# Ctrl+2 shows the pane; the pop-up by its mnemonic, "Keyboard" is the last title; the choice
# hands the keys to the table, whose current cell is the first row, and Space selects it,
# arming the capture.
keys ctrl+2 alt+c End space Up Shift_L a
python3 - "$settings" <<'PY' || fail "mapping not stored"
import plistlib, sys
settings = plistlib.load(open(sys.argv[1], 'rb'))
rows = settings['Controllers']['Keyboard']['Mapping'][:3]
if rows != ['key(273)', 'key(304)', 'key(97)'] or 'ControllersLastModifedDate' not in settings:
    sys.exit('first three Keyboard rows are %r' % rows)
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

# The chooser does not block the main window, and a second Open brings it forward.
press ctrl+o
chooser=$(timeout 30 xdotool search --sync --onlyvisible --name '^Open ROM Image$' | head -n 1)
[ -n "$chooser" ] || fail "Ctrl+O showed no chooser"
press ctrl+period
wait_until 30 gone "$first" || fail "Ctrl+. did not stop the emulator while the chooser was open"
grep -q '^Task ended by app$' "$work/launcher.out" || fail "no log line for the stopped emulator"
press ctrl+o
sleep 0.5
[ "$(xdotool search --onlyvisible --name '^Open ROM Image$' | wc -l)" -eq 1 ] || fail "a second Open opened another chooser"
[ "$(xdotool getwindowfocus)" = "$chooser" ] || fail "a second Open did not bring the chooser forward"
xdotool key Escape
sleep 0.3

rm -f "$work/record" "$work/record.pid"
"$bin/tolvane-make-rom" "$work/other.v64" >/dev/null || fail "could not write the second ROM"
(cd "$work" && timeout 20 "$bin/tolvane-launcher" other.v64) || fail "a second start did not hand over its file"
# Play is offered again once the end notice has been handled.
wait_until 30 bash -c "xdotool windowfocus --sync $main; xdotool key --clearmodifiers ctrl+r; sleep 0.5; [ -s '$work/record' ]" || fail "a second Play did not start"
tr '\0' '\n' < "$work/record" | grep -Fxq "$work/other.v64" || fail "the handed-over ROM was not played"
cat "$work/record.pid" >> "$work/pids"
# Ended by the session rather than by Quit: the Launcher ends and asks its emulator to end.
kill -TERM "$launcher"
wait_until 15 launcher_gone || fail "the Launcher ignored SIGTERM"
launcher=0
for pid in $(tail -n +2 "$work/pids"); do  # the first is the accessibility bus
    wait_until 30 gone "$pid" || fail "process $pid was left behind"
done
echo "PASS: keys mapped and kept through shortcuts and pane roads, played with them, stopped with the chooser open, played again; SIGTERM left nothing behind"
