#!/bin/bash
# End to end: zipped ROMs under Xvfb, read back over the accessibility bus.
# A library of .zip and .7z archives (three byte orders, two images in one, none in one, a
# corrupt and two encrypted ones) lists every image with the MD5 of its plain copy and the
# broken ones with their reasons; Enter and Play start the stand-in with an extracted plain
# copy that Stop removes; a copy left by a Launcher killed with SIGKILL goes at the next start.
# Usage: archive-e2e.sh BIN_DIR     (exit 77 = skipped)
set -u
. "$(dirname "$0")/e2e-common.sh"
need_atspi
command -v zip >/dev/null && command -v 7zr >/dev/null || { echo "SKIP: zip and 7zr are needed"; exit 77; }
lib="$work/lib" plain="$work/plain"
mkdir -p "$lib" "$plain"
i=0
for order in z64 v64 n64; do
    for kind in zip 7z; do
        i=$((i + 1))
        make_rom --order $order --name "GAME $kind $order" "$plain/Game $i.$order"
        if [ $kind = zip ]; then (cd "$plain" && zip -q "$lib/game$i.zip" "Game $i.$order"); else (cd "$plain" && 7zr a -bd "$lib/game$i.7z" "Game $i.$order" >/dev/null); fi
    done
done
make_rom --name "PAIR FIRST" "$plain/first.z64" && make_rom --order n64 --name "PAIR SECOND" "$plain/second.n64"
(cd "$plain" && zip -q "$lib/pair.zip" first.z64 second.n64 && echo hello > readme.txt && 7zr a -bd "$lib/empty.7z" readme.txt >/dev/null \
    && zip -q -P secret "$lib/locked.zip" first.z64 && 7zr a -bd -psecret -mhe=on "$lib/hidden.7z" first.z64 >/dev/null)
head -c 3000 "$lib/pair.zip" > "$lib/corrupt.zip"
use_library "$lib"
# Every image's MD5, as the reader gives it for the plain copy.
"$bin/tolvane-rominfo" --json "$plain"/*.?64 > "$work/plain.json" 2>/dev/null
expected=$(python3 -c 'import json,sys; [print(x["name"].strip() + "|" + x["md5"]) for x in json.load(open(sys.argv[1]))]' "$work/plain.json")

extracted() { ls "$XDG_RUNTIME_DIR"/tolvane-launcher/extracted-* 2>/dev/null; }

start
# 6 single images, 2 of the pair, and 4 refused archives.
wait_until 60 rows_are 12 || fail "the archives were not listed: $(cat "$work/ui.txt")"
while IFS='|' read -r name md5; do
    grep "^row: $name|" "$work/ui.txt" | grep -Fq "|$md5" || fail "$name is not listed with MD5 $md5: $(cat "$work/ui.txt")"
done <<< "$expected"
for text in "pair.zip ▸ second.n64" "There is no ROM image inside the archive." "The archive is encrypted." \
            "“first.z64” is encrypted." "damaged"; do
    grep -Fq "$text" "$work/ui.txt" || fail "not shown: $text; $(cat "$work/ui.txt")"
done

press ctrl+f && xdotool type --delay 50 "GAME 7z n64" && press Return && sleep 0.5 && press ctrl+r
wait_until 30 test -s "$work/record" || fail "Enter and Play did not start the emulator"
copy=$(tr '\0' '\n' < "$work/record" | tail -n 1)
case "$copy" in "$XDG_RUNTIME_DIR"/tolvane-launcher/extracted-*"Game 6.n64") ;; *) fail "not an extracted copy: $copy" ;; esac
[ "$(md5sum < "$copy")" = "$(md5sum < "$plain/Game 6.n64")" ] || fail "the extracted copy differs from the plain image"
[ "$(stat -c %a "$XDG_RUNTIME_DIR/tolvane-launcher")" = 700 ] || fail "the extraction folder is not private"
cat "$work/record.pid" >> "$work/pids"
press ctrl+period
wait_until 30 test ! -e "$copy" || fail "Stop left the extracted copy"

# Killed while a zipped game runs: the copy stays, and the next start removes it.
rm -f "$work/record"
press ctrl+r
wait_until 30 test -s "$work/record" || fail "Play did not start the emulator again"
cat "$work/record.pid" >> "$work/pids"
kill -KILL "$launcher"; wait "$launcher" 2>/dev/null; launcher=0
for pid in $(cat "$work/record.pid"); do kill "$pid" 2>/dev/null; done
[ -n "$(extracted)" ] || fail "nothing was left behind to clean up"
start
wait_until 30 test -z "$(extracted)" || fail "the next start left $(extracted)"
press ctrl+q
wait_until 30 launcher_gone || fail "Ctrl+Q did not quit"
launcher=0
echo "PASS: zipped and 7-zipped images listed with their MD5, broken archives refused, an entry played from an extracted copy removed at Stop and after SIGKILL"
