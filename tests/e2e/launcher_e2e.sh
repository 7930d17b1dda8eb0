#!/bin/bash
# End to end: the real Launcher under Xvfb, driven by real X11 key presses from xdotool.
# Opens a synthetic ROM from the command line, Ctrl+R plays it in the stand-in emulator,
# Ctrl+. stops it, Ctrl+R starts it again and Ctrl+Q quits, leaving no process behind.
# Usage: launcher_e2e.sh BIN_DIR     (exit 77 = skipped: no xvfb-run or xdotool)
set -u
. "$(dirname "$0")/e2e-common.sh"
recorded() { [ -s "$work/record" ]; }

rom="$work/demo game.z64"
"$bin/tolvane-make-rom" --name "E2E DEMO" "$rom" >/dev/null || fail "could not write the ROM"

"$bin/tolvane-launcher" "$rom" &
launcher=$!
window=$(timeout 30 xdotool search --sync --onlyvisible --name 'Tolvane Launcher$' | head -n 1)
[ -n "$window" ] || fail "the main window did not appear"

press() {
    xdotool windowfocus --sync "$window" 2>/dev/null || true
    sleep 0.3
    xdotool key --clearmodifiers "$1"
}

press ctrl+r
wait_until 30 recorded || fail "Ctrl+R did not start the emulator"
tr '\0' '\n' < "$work/record" | grep -Fxq "$rom" || fail "the emulator was not given the ROM: $(tr '\0' ' ' < "$work/record")"
first=$(head -n 1 "$work/record.pid")
cat "$work/record.pid" >> "$work/pids"
echo "played: $(tr '\0' ' ' < "$work/record")"

press ctrl+period
wait_until 30 gone "$first" || fail "Ctrl+. did not stop the emulator"
echo "stopped: $first"

rm -f "$work/record" "$work/record.pid"
# Play is offered again once the end notice has been handled.
wait_until 30 bash -c "xdotool key --clearmodifiers ctrl+r; sleep 0.5; [ -s '$work/record' ]" || fail "a second Play did not start"
second=$(head -n 1 "$work/record.pid")
cat "$work/record.pid" >> "$work/pids"

press ctrl+q
wait_until 30 launcher_gone || fail "Ctrl+Q did not quit the Launcher"
wait "$launcher"; status=$?
launcher=0
[ "$status" -eq 0 ] || fail "the Launcher exited with status $status"
for pid in $(cat "$work/pids"); do
    wait_until 30 gone "$pid" || fail "process $pid was left behind"
done
echo "PASS: played, stopped, played again and quit with nothing left behind"
