#!/bin/bash
# End to end: the ROM library under Xvfb, read back over the accessibility bus.
# A folder tree (nested, three byte orders, upper-case extensions, a refused file, a symlink
# loop) is listed with its internal names, every control named; a search and Enter open one,
# Play starts it; a copied file appears; a second start lists all from the cache; a corrupt cache, a cache
# folder that cannot be written and a vanished folder each leave a working Launcher.
# Usage: library-e2e.sh BIN_DIR     (exit 77 = skipped)
set -u
. "$(dirname "$0")/e2e-common.sh"
need_atspi
lib="$work/lib"
cache="$HOME/.cache/tolvane-launcher"
mkdir -p "$lib/nested/deeper"
make_rom --name "ALPHA ONE" "$lib/one.z64"
make_rom --order v64 --name "BRAVO TWO" "$lib/nested/deeper/TWO.V64"
make_rom --order n64 --name "CHARLIE THREE" --game-code NCHP "$lib/nested/Three.N64"
head -c 100 /dev/zero > "$lib/short.z64"
ln -s .. "$lib/nested/deeper/loop"
use_library "$lib"

# The command-line tool walks with the same rules and sorts whatever the completion order.
"$bin/tolvane-rominfo" -r --jobs 3 --json "$lib" > "$work/tool.json" 2>/dev/null
python3 - "$work/tool.json" <<'PY' || fail "tolvane-rominfo -r: $(cat "$work/tool.json")"
import json, sys
r = json.load(open(sys.argv[1]))
paths = [x['path'] for x in r]
assert paths == sorted(paths) and len(paths) == 4, paths
assert [x['byteOrder'] for x in r if x['valid']] == ['n64', 'v64', 'z64'], r
PY


start
wait_until 30 rows_are 4 || fail "the tree was not listed: $(cat "$work/ui.txt")"
for name in "row: ALPHA ONE" "row: BRAVO TWO" "row: CHARLIE THREE" "row: The file is only 100 bytes long" "4 files: 4 read"; do
    grep -Fq "$name" "$work/ui.txt" || fail "not shown: $name; $(cat "$work/ui.txt")"
done
# A screen reader can name every button and bar (Qt's clear button too); Cancel says what it does.
! grep -E '^control: [^|]*\|\|' "$work/ui.txt" || fail "unnamed controls: $(grep '^control:' "$work/ui.txt")"
grep -Eq '^control: push button\|Cancel\|.' "$work/ui.txt" || fail "Cancel has no description: $(grep '^control:' "$work/ui.txt")"
press ctrl+f && xdotool type --delay 50 "bravo" && press Return && sleep 0.5 && press ctrl+r
wait_until 30 test -s "$work/record" || fail "Enter and Play did not start the emulator"
tr '\0' '\n' < "$work/record" | grep -Fxq "$lib/nested/deeper/TWO.V64" || fail "wrong ROM played: $(tr '\0' ' ' < "$work/record")"
cat "$work/record.pid" >> "$work/pids"
press ctrl+period && press ctrl+f && press Escape
make_rom --name "DELTA COPIED" "$work/copy.z64" && cp "$work/copy.z64" "$lib/nested/"
wait_until 30 shows "row: DELTA COPIED" || fail "a copied file was not picked up: $(cat "$work/ui.txt")"
quit

start
# The copy was read moments after it was made, so it alone is read again.
wait_until 30 eval 'ui && grep -Eq "5 files(, all from the cache|: 1 read, 4 from the cache)" "$work/ui.txt"' \
    || fail "second start not from the cache: $(cat "$work/ui.txt")"
make_rom --size 16K --name "ALPHA CHANGED" "$lib/one.z64"
wait_until 30 shows "row: ALPHA CHANGED" || fail "a changed file was not read again: $(cat "$work/ui.txt")"
quit

printf 'not a database %.0s' $(seq 300) > "$cache/library.sqlite"
rm -f "$cache/library.sqlite-wal" "$cache/library.sqlite-shm"
start
wait_until 30 shows "set aside" || fail "a corrupt cache was not reported: $(cat "$work/ui.txt")"
rows_are 5 || fail "a corrupt cache lost rows: $(cat "$work/ui.txt")"
quit
rm -rf "$cache" && echo blocked > "$cache"
start
wait_until 30 shows "cannot be written" || fail "an unwritable cache folder was not reported: $(cat "$work/ui.txt")"
rows_are 5 || fail "an unwritable cache lost rows: $(cat "$work/ui.txt")"
mv "$lib" "$work/gone"
press F5
wait_until 30 shows "cannot be read" || fail "a vanished folder was not reported: $(cat "$work/ui.txt")"
rows_are 5 && shows "row: Not available: the folder" || fail "a vanished folder lost its rows: $(cat "$work/ui.txt")"
quit
echo "PASS: library listed, opened, played, watched, cached, and survived a bad cache and a vanished folder (kept, not available)"
