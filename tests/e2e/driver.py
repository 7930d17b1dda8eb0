# End-to-end driver: the real executables under Xvfb, with a private D-Bus session and
# accessibility bus, a fresh home and XDG folders whose settings start the stand-in emulator as
# a custom build. Scenarios press real X11 keys with xdotool, read and press the windows over
# AT-SPI, read the files the Launcher and the stand-in write, and wait on conditions with a
# deadline, never for a fixed time.
#
# A scenario is a function of a Session, run by run(scenario) with BIN_DIR as the only argument;
# exit 77 means skipped (a tool is missing).
import json
import os
import plistlib
import shutil
import signal
import subprocess
import sys
import tempfile
import time

ATSPI_ROLES = {'push button', 'toggle button', 'check box', 'combo box', 'radio button', 'progress bar'}


class Failure(Exception):
    pass


def check(condition, message):
    if not condition:
        raise Failure(message)


def wait_until(condition, what, timeout=30):
    # The first true value of condition(), or Failure naming `what` after `timeout` seconds.
    deadline = time.monotonic() + timeout
    while True:
        value = condition()
        if value or time.monotonic() > deadline:
            check(value, 'timed out: ' + what)
            return value
        time.sleep(0.1)


def alive(pid):
    # The process exists and is not a zombie (an orphan may wait to be reaped).
    try:
        with open('/proc/%d/stat' % pid) as f:
            return f.read().rsplit(')', 1)[1].split()[0] != 'Z'
    except (OSError, IndexError):
        return False


def run_quietly(*command, **kwargs):
    return subprocess.run(command, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True, **kwargs)


class Session:
    def __init__(self, bin_dir):
        self.bin = bin_dir
        self.work = tempfile.mkdtemp()
        self.launcher = None
        self.window = None
        self.pids = []  # every process to end at the close
        self.record = os.path.join(self.work, 'record')
        home = os.path.join(self.work, 'home')
        self.env = dict(os.environ, HOME=home, XDG_CONFIG_HOME=os.path.join(self.work, 'config'),
                        XDG_RUNTIME_DIR=os.path.join(self.work, 'run'), TOLVANE_FAKE_RECORD=self.record,
                        QT_QPA_PLATFORM='xcb', QT_LINUX_ACCESSIBILITY_ALWAYS_ON='1', QT_ACCESSIBILITY='1')
        # libxkbcommon-x11 hands strndup a keymap name without a NUL, legal for strndup, which
        # strict string checks would abort at a sanitizer build's first X11 connection.
        if self.env.get('ASAN_OPTIONS'):
            self.env['ASAN_OPTIONS'] += ':strict_string_checks=0'
        self.settings = os.path.join(self.env['XDG_CONFIG_HOME'], 'tolvane-launcher', 'settings.plist')
        self.history = os.path.join(home, '.local/share/tolvane-launcher/history.sqlite')
        os.makedirs(home)
        os.makedirs(os.path.dirname(self.settings))
        os.makedirs(self.env['XDG_RUNTIME_DIR'], 0o700)
        self.set_settings(Build='Custom', CustomBuildPath=self.program('tolvane-fake-emulator'))
        # A default build in the player's own data folder, so that InputAutoCfg.ini is written
        # there, one per session, not beside the build tree's bundle that scenarios run together share.
        console = os.path.join(home, '.local/share/tolvane-launcher/tolvane.app/Contents/bin/tolvane-console')
        os.makedirs(os.path.dirname(console))
        os.symlink(self.program('tolvane-fake-emulator'), console)
        # Qt joins the accessibility bus only if it is there when the Launcher starts.
        self.pids.append(subprocess.Popen(['/usr/libexec/at-spi-bus-launcher', '--launch-immediately'],
                                          stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL).pid)
        wait_until(lambda: 'true' in run_quietly(
            'dbus-send', '--session', '--print-reply', '--dest=org.freedesktop.DBus', '/org/freedesktop/DBus',
            'org.freedesktop.DBus.NameHasOwner', 'string:org.a11y.Bus').stdout, 'the accessibility bus')

    def path(self, *parts):
        return os.path.join(self.work, *parts)

    def program(self, name):
        return os.path.join(self.bin, name)

    def make_rom(self, path, *options):
        os.makedirs(os.path.dirname(path), exist_ok=True)
        subprocess.run([self.program('tolvane-make-rom'), *options, path], check=True, stdout=subprocess.DEVNULL)
        return path

    def read_settings(self):
        with open(self.settings, 'rb') as f:
            return plistlib.load(f)

    def set_settings(self, **values):
        settings = self.read_settings() if os.path.exists(self.settings) else {}
        settings.update(values)
        with open(self.settings, 'wb') as f:
            plistlib.dump(settings, f)

    # The Launcher and its main window.
    def start(self, *arguments, stdout=None):
        out = open(self.path('launcher.out'), 'ab')
        self.launcher = subprocess.Popen([self.program('tolvane-launcher'), *arguments], env=self.env,
                                         stdout=stdout or out, stderr=out)
        self.window = wait_until(lambda: run_quietly('xdotool', 'search', '--onlyvisible', '--pid', str(self.launcher.pid),
                                                     '--name', 'Tolvane Launcher$').stdout.split(), 'the main window')[0]

    def focus(self, window=None):
        window = window or self.window
        run_quietly('xdotool', 'windowfocus', '--sync', window)
        wait_until(lambda: run_quietly('xdotool', 'getwindowfocus').stdout.strip() == window, 'focus on ' + window, 10)

    def windows(self, name):
        return run_quietly('xdotool', 'search', '--onlyvisible', '--name', name).stdout.split()

    def press(self, *keys, window=None):
        # Keys to the main window (or `window`), focused first.
        self.focus(window)
        self.keys(*keys)

    def keys(self, *keys):
        # Keys to whatever has the focus, at a typing pace: a key may open a pop-up for the next.
        subprocess.run(['xdotool', 'key', '--clearmodifiers', '--delay', '300', *keys], check=True)

    def type(self, text):
        subprocess.run(['xdotool', 'type', '--delay', '50', text], check=True)

    def find_window(self, name, timeout=20):
        return wait_until(lambda: self.windows(name), 'a window named ' + name, timeout)[0]

    def quit(self):
        self.press('ctrl+q')
        check(self.launcher.wait(30) == 0, 'the Launcher exited with status %s' % self.launcher.returncode)
        self.launcher = None

    # The stand-in emulator's record: its arguments and its pids.
    def clear_record(self):
        for suffix in ('', '.pid', '.ini'):
            if os.path.exists(self.record + suffix):
                os.remove(self.record + suffix)

    def wait_for_play(self, what='Play did not start the emulator'):
        wait_until(lambda: os.path.getsize(self.record) if os.path.exists(self.record) else 0, what)
        wait_until(lambda: os.path.exists(self.record + '.pid'), 'the emulator pid')
        with open(self.record + '.pid') as f:
            emulator = [int(pid) for pid in f.read().split()]
        self.pids += emulator
        with open(self.record, 'rb') as f:
            arguments = [os.fsdecode(a) for a in f.read().split(b'\0')[:-1]]
        return arguments, emulator

    # What a screen reader finds, read by a fresh process each time (a client's cache of the
    # tree is only brought up to date by events, which nobody here would be reading).
    def ui(self, hidden=False):
        # What shows (with `hidden`, all there is) as dictionaries; see _atspi.
        for _ in range(5):
            result = run_quietly(sys.executable, __file__, 'dump', 'hidden' if hidden else '', timeout=30)
            if result.returncode == 0:
                break
        return json.loads(result.stdout or '[]')

    def ui_text(self):
        return '\n'.join('%(window)s|%(role)s|%(name)s|%(desc)s|%(text)s' % a + ''.join('\nrow: ' + r for r in a['rows'])
                         for a in self.ui())

    def shows(self, *texts, rows=None):
        # All of `texts` in one look, and with `rows`, that many rows in the library.
        ui = self.ui_text()
        return all(text in ui for text in texts) and rows in (None, ui.count('\nrow: '))

    def do(self, window, name, index=0):
        # Does the first action of the index-th control named `name` in the window whose title
        # starts with `window`.
        check(run_quietly(sys.executable, __file__, 'do', window, name, str(index), timeout=30).returncode == 0,
              'no control %s in %s' % (name, window))

    def close(self):
        if self.launcher:
            self.launcher.kill()
            self.launcher.wait()
        for pid in self.pids:
            for sig in (signal.SIGCONT, signal.SIGTERM):
                try:
                    os.kill(pid, sig)
                except OSError:
                    pass
        shutil.rmtree(self.work, ignore_errors=True)


def _atspi(argv):
    import pyatspi

    def walk(acc, depth=0):  # what is not showing is left out, with all below it, unless asked
        if acc is not None and depth < 30 and (argv[1:] == ['hidden'] or acc.getState().contains(pyatspi.STATE_SHOWING)):
            yield acc
            for i in range(acc.childCount):
                yield from walk(acc.getChildAtIndex(i), depth + 1)

    def describe(acc, window):
        role, states = acc.getRoleName(), acc.getState()
        item = {'window': window.name, 'role': role, 'name': acc.name or '', 'desc': acc.description or '',
                'text': '', 'rows': [], 'showing': states.contains(pyatspi.STATE_SHOWING),
                'enabled': states.contains(pyatspi.STATE_ENABLED), 'checked': states.contains(pyatspi.STATE_CHECKED)}
        if acc.getRole() == pyatspi.ROLE_TEXT:
            text = acc.queryText()
            item['text'] = text.getText(0, text.characterCount)
        elif acc.getRole() == pyatspi.ROLE_TABLE:
            t = acc.queryTable() if acc.name == 'ROM library' else None
            item['rows'] = ['|'.join(t.getAccessibleAt(r, c).name for c in range(t.nColumns)) for r in range(t.nRows)] if t else []
        elif role in ATSPI_ROLES:
            action = acc.queryAction()
            item['actions'] = [action.getName(i) for i in range(action.nActions)]
            item['acc'] = acc
        elif acc.getRole() != pyatspi.ROLE_LABEL:
            return None
        return item

    desktop = pyatspi.Registry.getDesktop(0)
    found = []
    for app in (desktop.getChildAtIndex(i) for i in range(desktop.childCount)):
        if not app or 'tolvane' not in (app.name or ''):
            continue
        for window in (app.getChildAtIndex(i) for i in range(app.childCount)):
            try:
                found += [item for item in (describe(acc, window) for acc in walk(window)) if item]
            except Exception:  # the window changed while it was read (a widget gone): read it again
                return 1
    if argv[0] == 'dump':
        print(json.dumps([{k: v for k, v in a.items() if k != 'acc'} for a in found]))
        return 0
    window, name, index = argv[1:4]
    named = [a for a in found if a['window'].startswith(window) and a['name'] == name and a['showing'] and 'acc' in a]
    named[int(index)]['acc'].queryAction().doAction(0)
    return 0


def run(scenario, tools=()):
    bin_dir = os.path.abspath(sys.argv[1])
    missing = [t for t in ('Xvfb', 'xdotool', 'dbus-run-session', 'dbus-send', *tools) if not shutil.which(t)]
    try:
        import pyatspi  # noqa: F401
    except ImportError:
        missing.append('python3-pyatspi')
    if missing:
        print('SKIP: needs ' + ', '.join(missing))
        sys.exit(77)
    if not os.environ.get('TOLVANE_E2E_UNDER_XVFB'):
        # The accessibility bus puts its socket under XDG_RUNTIME_DIR (or HOME): folders of
        # this run, so that runs side by side never meet on one bus.
        bus_home = tempfile.mkdtemp()
        os.mkdir(os.path.join(bus_home, 'run'), 0o700)
        env = dict(os.environ, TOLVANE_E2E_UNDER_XVFB='1', HOME=bus_home, XDG_RUNTIME_DIR=os.path.join(bus_home, 'run'))
        # The server picks a free display itself and tells which (-displayfd): runs started
        # together never race for one number, as a search from outside can. -noreset: a
        # server that resets as its last client goes refuses the next one for a moment.
        ready, told = os.pipe()
        xvfb = subprocess.Popen(['Xvfb', '-displayfd', str(told), '-screen', '0', '1280x800x24', '-nolisten', 'tcp', '-noreset'],
                                pass_fds=(told,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(told)
        with os.fdopen(ready) as answer:
            display = answer.readline().strip()
        status = 1
        if display:
            env['DISPLAY'] = ':' + display
            status = subprocess.call(['dbus-run-session', '--', sys.executable, *sys.argv], env=env)
        else:
            print('FAIL: Xvfb did not start')
        xvfb.terminate()
        xvfb.wait()
        shutil.rmtree(bus_home, ignore_errors=True)
        sys.exit(status)
    session = Session(bin_dir)
    try:
        scenario(session)
        print('PASS: ' + os.path.basename(sys.argv[0]))
    except Failure as failure:
        print('FAIL: %s\nWhat shows now:\n%s' % (failure, session.ui_text() if session.launcher else '(no Launcher)'))
        with open(session.path('launcher.out'), errors='replace') if os.path.exists(session.path('launcher.out')) else open(os.devnull) as out:
            sys.stdout.write(''.join('  launcher: ' + line for line in out))
        sys.exit(1)
    finally:
        session.close()


if __name__ == '__main__':
    sys.exit(_atspi(sys.argv[1:]))  # "dump" or "do …", run by Session.ui() and Session.do()
