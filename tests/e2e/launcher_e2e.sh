#!/bin/bash
# End to end: the real Launcher under Xvfb, driven by real X11 key presses from xdotool.
# Opens a synthetic ROM from the command line, Ctrl+R plays it in the stand-in emulator,
# Ctrl+. stops it, Ctrl+R starts it again and Ctrl+Q quits, leaving no process behind.
# Usage: launcher_e2e.sh BIN_DIR     (exit 77 = skipped: no xvfb-run or xdotool)
set -u
bin=$(cd "${1:?usage: launcher_e2e.sh BIN_DIR}" && pwd)

if ! command -v xvfb-run >/dev/null || ! command -v xdotool >/dev/null; then
    echo "SKIP: xvfb-run and xdotool are needed"
    exit 77
fi
for tool in tolvane-launcher tolvane-fake-emulator tolvane-make-rom; do
    [ -x "$bin/$tool" ] || { echo "FAIL: $bin/$tool is missing"; exit 1; }
done
if [ -z "${TOLVANE_E2E_UNDER_XVFB:-}" ]; then
    export TOLVANE_E2E_UNDER_XVFB=1
    exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
fi

# libxkbcommon-x11 hands strndup a keymap name that is not NUL-terminated (legal for
# strndup); strict string checks would abort a sanitizer build at its first X11 connection.
if [ -n "${ASAN_OPTIONS:-}" ]; then
    export ASAN_OPTIONS="$ASAN_OPTIONS:strict_string_checks=0"
fi

work=$(mktemp -d)
launcher=0
cleanup() {
    [ "$launcher" -gt 0 ] && kill "$launcher" 2>/dev/null
    for pid in $(cat "$work"/pids 2>/dev/null); do kill -CONT "$pid" 2>/dev/null; kill "$pid" 2>/dev/null; done
    rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; exit 1; }

# True while the process exists and is not a zombie (an orphan may wait to be reaped).
alive() { [ -r "/proc/$1/stat" ] && ! awk '{ exit !($3 == "Z") }' "/proc/$1/stat" 2>/dev/null; }
wait_until() { # seconds, command...
    local tries=$(( $1 * 10 )); shift
    while ! "$@"; do tries=$((tries - 1)); [ "$tries" -le 0 ] && return 1; sleep 0.1; done
}
recorded() { [ -s "$work/record" ]; }
gone() { ! alive "$1"; }
launcher_gone() { ! kill -0 "$launcher" 2>/dev/null; }

export HOME="$work/home" XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/run"
mkdir -p "$HOME" "$XDG_CONFIG_HOME/tolvane-launcher" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
cat > "$XDG_CONFIG_HOME/tolvane-launcher/settings.plist" <<PLIST
<?xml version="1.0" encoding="UTF-8"?>
<!DOCTYPE plist PUBLIC "-//Apple//DTD PLIST 1.0//EN" "http://www.apple.com/DTDs/PropertyList-1.0.dtd">
<plist version="1.0">
<dict>
	<key>Build</key>
	<string>Custom</string>
	<key>CustomBuildPath</key>
	<string>$bin/tolvane-fake-emulator</string>
</dict>
</plist>
PLIST
export TOLVANE_FAKE_RECORD="$work/record"
rom="$work/demo game.z64"
"$bin/tolvane-make-rom" --name "E2E DEMO" "$rom" >/dev/null || fail "could not write the ROM"

"$bin/tolvane-launcher" "$rom" &
launcher=$!
window=$(timeout 30 xdotool search --sync --onlyvisible --name '^Tolvane Launcher$' | head -n 1)
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
