#!/bin/bash
# End to end: a game's own settings under Xvfb, by keyboard and over the accessibility bus.
# Ctrl+G opens "Game Settings — ALPHA ONE"; every control there is named and pressable over
# AT-SPI; "Use the global setting" of Video and Controllers unchecked over AT-SPI, the
# resolution chosen and a key captured by real keys reach the stand-in's command line and
# InputAutoCfg.ini for that game only, with the status line and the ROM view saying so; after
# a restart the game and its copy in another byte order still start with its own settings.
# Then --play through the running Launcher and without one (no window): exit 0 when the
# emulator ends normally, non-zero with the reason when it exits with 3, when an emulator is
# already running, and when the emulator is missing.
# Usage: game-settings-e2e.sh BIN_DIR     (exit 77 = skipped)
set -u
. "$(dirname "$0")/e2e-common.sh"
need_atspi
lib="$work/lib"
mkdir -p "$lib"
make_rom --name "ALPHA ONE" "$lib/one.z64"
make_rom --name "BRAVO TWO" "$lib/two.z64"
use_library "$lib"
make_rom --order v64 --name "ALPHA ONE" "$work/one-swapped.v64"

# Over AT-SPI in the Game Settings window: "controls" lists every control as
# ROLE|NAME|ACTIONS|enabled or disabled (a disabled control offers no action),
# "press NAME [N]" does the first action of the N-th control (from 0) of that name.
game_window() {
    timeout 20 "$atspi_python" - "$@" <<'PY'
import pyatspi, sys
def walk(acc):
    yield acc
    for child in acc:
        if child is not None: yield from walk(child)
desktop = pyatspi.Registry.getDesktop(0)
frame = next(w for app in desktop if app and 'tolvane' in (app.name or '') for w in app
             if w and w.name.startswith('Game Settings'))
roles = {pyatspi.ROLE_PUSH_BUTTON, pyatspi.ROLE_CHECK_BOX, pyatspi.ROLE_COMBO_BOX, pyatspi.ROLE_RADIO_BUTTON}
controls = [a for a in walk(frame) if a.getRole() in roles and a.getState().contains(pyatspi.STATE_SHOWING)]
if sys.argv[1] == 'controls':
    for c in controls:
        action = c.queryAction()
        enabled = 'enabled' if c.getState().contains(pyatspi.STATE_ENABLED) else 'disabled'
        print('%s|%s|%s|%s' % (c.getRoleName(), c.name, ','.join(action.getName(i) for i in range(action.nActions)), enabled))
else:
    named = [c for c in controls if c.name == sys.argv[2]]
    named[int(sys.argv[3]) if len(sys.argv) > 3 else 0].queryAction().doAction(0)
PY
}
argument_after() { tr '\0' '\n' < "$work/record" | grep -Fx -A1 -- "$1" | tail -n 1; }
play_and_stop() { # [text the window shows while it runs]; leaves the recorded resolution in $resolution, the key for A in $key_a
    rm -f "$work/record"
    press ctrl+r
    wait_until 30 test -s "$work/record" || fail "Play did not start the emulator"
    cat "$work/record.pid" >> "$work/pids"
    resolution=$(argument_after --resolution)
    key_a=$(sed -n '/^\[Keyboard\]/,/^\[/s/^A = //p' "$work/record.ini")
    [ -z "${1:-}" ] || wait_until 10 shows "$1" || fail "not shown while it runs: $1; $(cat "$work/ui.txt")"
    press ctrl+period
    wait_until 10 gone "$(head -n 1 "$work/record.pid")" || fail "Stop did not end the emulator"
}
open_game() { press ctrl+f && xdotool type --delay 50 "$1" && press Return && sleep 0.5; }

start
wait_until 30 rows_are 2 || fail "the library was not listed: $(cat "$work/ui.txt")"
open_game alpha
play_and_stop
global=$resolution
[ -n "$global" ] && [ "$global" != 1920x1080 ] || fail "the global resolution is $global"

press ctrl+g
settings_window=$(timeout 20 xdotool search --sync --onlyvisible --name '^Game Settings — ALPHA ONE$' | head -n 1)
[ -n "$settings_window" ] || fail "Ctrl+G showed no Game Settings window"
game_window controls > "$work/controls.txt" || fail "the Game Settings window is not on the accessibility bus"
[ "$(grep -c '^check box|Use the global setting|' "$work/controls.txt")" = 3 ] || fail "not three global boxes: $(cat "$work/controls.txt")"
grep -q '^push button|Close|' "$work/controls.txt" || fail "no Close button: $(cat "$work/controls.txt")"
named_and_pressable() { ! grep -Eq '^[^|]*\|\||\|\|enabled$' "$work/controls.txt"; }
named_and_pressable || fail "a control without a name or an action: $(cat "$work/controls.txt")"
grep -q '^check box|Full screen||disabled$' "$work/controls.txt" || fail "the global video controls are not disabled: $(cat "$work/controls.txt")"
game_window press "Use the global setting" 0
game_window controls > "$work/controls.txt"
named_and_pressable && grep -q '^check box|Full screen|Toggle.*|enabled$' "$work/controls.txt" \
    || fail "the game's own video controls are not pressable: $(cat "$work/controls.txt")"
# The resolution field by its mnemonic, typed over and finished with Enter.
xdotool windowfocus --sync "$settings_window"; sleep 0.3
xdotool key --clearmodifiers alt+r; sleep 0.3; xdotool key ctrl+a; xdotool type --delay 50 1920x1080; xdotool key Return; sleep 0.3
# The game's own mapping: Keyboard in the pop-up by its mnemonic, the first row armed, Up.
game_window press "Use the global setting" 2
xdotool windowfocus --sync "$settings_window"; sleep 0.3
xdotool key --clearmodifiers alt+c; sleep 0.3; xdotool key --delay 300 End space Up; sleep 0.3
game_window press Close
wait_until 10 bash -c "! xdotool search --onlyvisible --name '^Game Settings' >/dev/null" || fail "Close did not close the window"

play_and_stop "Started with its own video and controller settings."
[ "$resolution" = 1920x1080 ] || fail "the game's own resolution did not reach the command line: $resolution"
[ "$key_a" = "key(273)" ] || fail "the game's own mapping did not reach InputAutoCfg.ini: A = $key_a"
grep -Fq "Uses its own settings: video, controllers" "$work/ui.txt" || fail "the ROM view does not say so: $(cat "$work/ui.txt")"
open_game bravo
play_and_stop
[ "$resolution" = "$global" ] && [ "$key_a" = "key(120)" ] || fail "another game did not get the global settings: $resolution, A = $key_a"
quit

start
wait_until 30 rows_are 2 || fail "the library was not listed after a restart"
open_game alpha
shows "Uses its own settings: video, controllers" || fail "the ROM view forgot after a restart: $(cat "$work/ui.txt")"
play_and_stop
[ "$resolution" = 1920x1080 ] && [ "$key_a" = "key(273)" ] || fail "the game's settings did not outlive a restart: $resolution, A = $key_a"

# --play: the running Launcher plays; a second --play meanwhile is refused; status 3 is a failure.
emulator_pid() { head -n 1 "$work/record.pid"; }
play_cli() { # output file, ROM
    "$bin/tolvane-launcher" --play "$2" > "$work/$1" 2>&1
}
rm -f "$work/record"
play_cli play.out "$work/one-swapped.v64" & cli=$!
wait_until 30 test -s "$work/record" || fail "--play did not reach the running Launcher: $(cat "$work/play.out")"
cat "$work/record.pid" >> "$work/pids"
[ "$(argument_after --resolution)" = 1920x1080 ] || fail "the v64 copy does not share the game's settings"
play_cli refused.out "$lib/two.z64" && fail "a second --play while a game runs succeeded"
grep -q "already running" "$work/refused.out" || fail "a refused --play gave no reason: $(cat "$work/refused.out")"
kill -USR2 "$(emulator_pid)"
wait "$cli" && fail "--play of an emulator that exited with 3 succeeded"
grep -q "exited with status 3" "$work/play.out" || fail "no reason for the failed game: $(cat "$work/play.out")"
rm -f "$work/record"
play_cli play.out "$lib/one.z64" & cli=$!
wait_until 30 test -s "$work/record" || fail "--play did not start the emulator again"
kill -USR1 "$(emulator_pid)"
wait "$cli" || fail "--play of a game that ended normally failed: $(cat "$work/play.out")"
quit

# Without a Launcher: no window, the same settings, the emulator's end is ours.
rm -f "$work/record"
play_cli play.out "$lib/one.z64" & cli=$!
wait_until 30 test -s "$work/record" || fail "--play without a Launcher did not start the emulator: $(cat "$work/play.out")"
cat "$work/record.pid" >> "$work/pids"
[ "$(argument_after --resolution)" = 1920x1080 ] || fail "--play without a Launcher ignored the game's settings"
! xdotool search --onlyvisible --pid "$cli" >/dev/null 2>&1 || fail "--play without a Launcher opened a window"
kill -USR1 "$(emulator_pid)"
wait "$cli" || fail "--play without a Launcher failed: $(cat "$work/play.out")"
python3 - "$settings" <<'PY'
import plistlib, sys
with open(sys.argv[1], 'rb') as f: d = plistlib.load(f)
d['CustomBuildPath'] = '/nonexistent/emulator'
with open(sys.argv[1], 'wb') as f: plistlib.dump(d, f)
PY
play_cli play.out "$lib/two.z64" && fail "--play with a missing emulator succeeded"
grep -q "cannot be started" "$work/play.out" || fail "no reason for the missing emulator: $(cat "$work/play.out")"
echo "PASS: Game Settings named and pressable over AT-SPI, reached by keys, its resolution and mapping used for that game only, after a restart and in another byte order; --play with and without a Launcher"
