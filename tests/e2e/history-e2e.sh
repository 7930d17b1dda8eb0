#!/bin/bash
# End to end: play history and favourites under Xvfb, read back from the history file and
# over the accessibility bus. A short run with a pause reads "Today" and, under the five-second
# minimum, adds no play time (how long a run counts is tested with a settable clock in
# ChildProcessTest and PlayHistoryTest, so nothing here waits it out); a favourite outlives a
# restart and a deleted library cache; a damaged history file is renamed aside with a message
# and the Launcher goes on.
# Usage: history-e2e.sh BIN_DIR     (exit 77 = skipped)
set -u
. "$(dirname "$0")/e2e-common.sh"
need_atspi
lib="$work/lib"
history="$HOME/.local/share/tolvane-launcher/history.sqlite"
mkdir -p "$lib"
"$bin/tolvane-make-rom" --name "ALPHA ONE" "$lib/one.z64" >/dev/null || fail "no ROM"
use_library "$lib"

stored() { # md5 column: the stored value of the only game
    python3 -c "import sqlite3,sys; r=sqlite3.connect(sys.argv[1]).execute('SELECT $1 FROM games').fetchall(); print(r[0][0] if r else '')" "$history"
}
now_ms() { echo $(( $(date +%s%N) / 1000000 )); }
sleep_until() { local left=$(( $1 - $(now_ms) )); [ "$left" -gt 0 ] && sleep "$(printf '%d.%03d' $((left / 1000)) $((left % 1000)))"; }
key() { xdotool key --clearmodifiers "$1"; }
play_for() { # seconds running, then seconds paused and running again (0: no pause)
    rm -f "$work/record"
    xdotool windowfocus --sync "$window" 2>/dev/null; sleep 0.3
    local t=$(now_ms)
    key ctrl+r
    wait_until 30 test -s "$work/record" || fail "Play did not start the emulator"
    cat "$work/record.pid" >> "$work/pids"
    t=$((t + $1 * 1000)); sleep_until $t
    if [ "$2" != 0 ]; then
        key ctrl+p; t=$((t + $2 * 1000)); sleep_until $t
        key ctrl+r; t=$((t + $3 * 1000)); sleep_until $t
    fi
    key ctrl+period
    wait_until 10 gone "$(head -n 1 "$work/record.pid")" || fail "Stop did not end the emulator"
    sleep 0.5
}

start
wait_until 30 shows "row:" || fail "the library was not listed: $(cat "$work/ui.txt")"
press ctrl+f && press Return
wait_until 10 shows "field: Last played = Never" && grep -Fq "field: Play time = None" "$work/ui.txt" \
    || fail "the ROM view has no history: $(cat "$work/ui.txt")"
play_for 1 1 1
[ "$(stored play_ms)" = 0 ] || fail "a run of 2 s with 1 paused added play time: $(stored play_ms)"
[ "$(stored last_played)" -gt 0 ] || fail "a short run did not count as last played"
wait_until 10 shows "field: Last played = Today" && grep -Fq "field: Play time = None" "$work/ui.txt" \
    || fail "the ROM view does not say Today and no play time: $(cat "$work/ui.txt")"
grep -q "^row:.*Today" "$work/ui.txt" || fail "the table does not say Today: $(cat "$work/ui.txt")"
press ctrl+f && press Down && press ctrl+d
wait_until 10 test "$(stored favourite)" = 1 || fail "Ctrl+D did not store a favourite"
quit

rm -rf "$HOME/.cache/tolvane-launcher"
start
wait_until 30 shows "|Favourite|" || fail "the favourite did not outlive a restart without the cache: $(cat "$work/ui.txt")"
quit

printf 'damaged %.0s' $(seq 500) > "$history"
rm -f "$history-wal" "$history-shm"
start
wait_until 30 shows "renamed" || fail "a damaged history was not reported: $(cat "$work/ui.txt")"
ls "$history".damaged-* >/dev/null 2>&1 || fail "the damaged history was not kept aside"
wait_until 30 shows "|Not a favourite|" || fail "the Launcher did not go on after a damaged history: $(cat "$work/ui.txt")"
quit
echo "PASS: a short run, Today, favourites across restarts, damaged history"
