# Shared by the end-to-end scripts; sourced with the script's own "$0" and "$@" in scope.
# Checks the tools (exit 77 = skipped), re-runs the script under Xvfb, and sets up a private
# home, config and runtime folder whose settings start the stand-in emulator as a custom build.
# Leaves: $bin, $work, $launcher (0 until started), fail, wait_until, alive, gone, launcher_gone.
bin=$(cd "${1:?usage: $(basename "$0") BIN_DIR}" && pwd)

if ! command -v xvfb-run >/dev/null || ! command -v xdotool >/dev/null || ! command -v python3 >/dev/null \
    || ! command -v dbus-run-session >/dev/null; then
    echo "SKIP: xvfb-run, xdotool, python3 and dbus-run-session are needed"
    exit 77
fi
for tool in tolvane-launcher tolvane-fake-emulator tolvane-make-rom; do [ -x "$bin/$tool" ] || { echo "FAIL: $bin/$tool is missing"; exit 1; }; done
if [ -z "${TOLVANE_E2E_UNDER_XVFB:-}" ]; then
    export TOLVANE_E2E_UNDER_XVFB=1
    # A private session bus too, for the accessibility bus of the scripts that use it. The
    # accessibility bus puts its socket under XDG_RUNTIME_DIR (or HOME): give it folders of
    # this run, so that runs side by side never meet on one bus.
    bus_home=$(mktemp -d)
    mkdir -m 700 "$bus_home/run"
    status=0
    HOME="$bus_home" XDG_RUNTIME_DIR="$bus_home/run" \
        dbus-run-session -- xvfb-run -a -s "-screen 0 1280x800x24" "$0" "$@" || status=$?
    rm -rf "$bus_home"
    exit "$status"
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
    for pid in $(cat "$work"/pids "$work"/record.pid 2>/dev/null); do kill -CONT "$pid" 2>/dev/null; kill "$pid" 2>/dev/null; done
    rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; [ -f "$work/launcher.out" ] && sed 's/^/  launcher: /' "$work/launcher.out"; exit 1; }

# True while the process exists and is not a zombie (an orphan may wait to be reaped).
alive() { [ -r "/proc/$1/stat" ] && ! awk '{ exit !($3 == "Z") }' "/proc/$1/stat" 2>/dev/null; }
gone() { ! alive "$1"; }
launcher_gone() { ! kill -0 "$launcher" 2>/dev/null; }
wait_until() { # seconds, command...
    local tries=$(( $1 * 10 )); shift
    while ! "$@"; do tries=$((tries - 1)); [ "$tries" -le 0 ] && return 1; sleep 0.1; done
}

export HOME="$work/home" XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/run"
export TOLVANE_FAKE_RECORD="$work/record"
settings="$XDG_CONFIG_HOME/tolvane-launcher/settings.plist"
mkdir -p "$HOME" "$(dirname "$settings")" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
python3 - "$settings" "$bin/tolvane-fake-emulator" <<'PY'
import plistlib, sys
with open(sys.argv[1], 'wb') as f:
    plistlib.dump({'Build': 'Custom', 'CustomBuildPath': sys.argv[2]}, f)
PY

# For the scripts that read the windows over the accessibility bus: skips without pyatspi.
need_atspi() {
    atspi_python=""
    for candidate in python3 /usr/bin/python3; do
        "$candidate" -c 'import pyatspi' 2>/dev/null && { atspi_python=$candidate; break; }
    done
    [ -n "$atspi_python" ] || { echo "SKIP: python3-pyatspi is needed"; exit 77; }
    export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_ACCESSIBILITY=1
}
# What a screen reader finds (see atspi-dump.py) into $work/ui.txt.
ui() { timeout 20 "$atspi_python" "$(dirname "$0")/atspi-dump.py" 2>/dev/null > "$work/ui.txt"; }
shows() { ui && grep -Fq -- "$1" "$work/ui.txt"; }
rows_are() { ui && [ "$(grep -c '^row:' "$work/ui.txt")" -eq "$1" ]; }
make_rom() { "$bin/tolvane-make-rom" "$@" >/dev/null || fail "could not write $*"; }
use_library() { # folder: the only library folder in the settings
    python3 - "$settings" "$1" <<'PY'
import plistlib, sys
with open(sys.argv[1], 'rb') as f: d = plistlib.load(f)
d['LibraryFolders'] = [sys.argv[2]]
with open(sys.argv[1], 'wb') as f: plistlib.dump(d, f)
PY
}
start() { # the Launcher with no arguments; $window is its main window
    "$bin/tolvane-launcher" > "$work/launcher.out" 2>&1 &
    launcher=$!
    window=$(timeout 30 xdotool search --sync --onlyvisible --name '^Tolvane Launcher$' | head -n 1)
    [ -n "$window" ] || fail "the main window did not appear"
}
press() { xdotool windowfocus --sync "$window" 2>/dev/null; sleep 0.3; xdotool key --clearmodifiers "$@"; }
quit() {
    press ctrl+q
    wait_until 30 launcher_gone || fail "Ctrl+Q did not quit"
    wait "$launcher" || fail "the Launcher exited with status $?"; launcher=0
}
