#!/usr/bin/env python3
# The Launcher started with a ROM: a mapping made with real keys in Preferences and kept
# through the window's shortcuts and every road back to the pane, played with in the stand-in
# emulator; a second start hands its file over; SIGTERM ends the Launcher and its emulator. A
# stale socket must not stop the start, nor a closed standard output the Launcher.
import os
import signal
import socket
import subprocess

from driver import alive, check, run, run_quietly, wait_until


def keyboard(s):
    return s.read_settings()['Controllers']['Keyboard']['Mapping']


def scenario(s):
    rom = s.make_rom(s.path('demo game.z64'), '--name', 'E2E DEMO')
    socket.socket(socket.AF_UNIX).bind(os.path.join(s.env['XDG_RUNTIME_DIR'], 'tolvane-launcher.socket'))
    # Standard output is a pipe whose reader has gone (as "tolvane-launcher | head"): what the
    # emulator says on it must not end the Launcher.
    s.env['TOLVANE_FAKE_SAY'] = 'e2e'
    reader, writer = os.pipe()
    os.close(reader)
    s.start(rom, stdout=writer)
    os.close(writer)
    s.press('ctrl+comma')
    prefs = s.find_window('^Preferences$')
    # Ctrl+2 shows the pane; the pop-up by its mnemonic, "Keyboard" is the last title; the
    # choice hands the keys to the table, whose current cell is the first row, and Space arms it.
    s.press('ctrl+2', 'alt+c', 'End', 'space', 'Up', 'Shift_L', 'a', window=prefs)
    wait_until(lambda: keyboard(s)[:3] == ['key(273)', 'key(304)', 'key(97)'], 'the mapping stored: %s' % keyboard(s)[:3])

    # Row 4 listens. Shortcuts and mnemonics (Ctrl+W, Ctrl+0 to the main window, Ctrl+, back)
    # store nothing; after each road away and back the first key goes into the listening row.
    s.keys('ctrl+1', 'ctrl+2', 'ctrl+3', 'ctrl+2', 'alt+c', 'Tab', 'ctrl+comma', 'ctrl+w')
    s.press('ctrl+comma', 'ctrl+0', 'ctrl+comma')
    s.keys('b', 'ctrl+1', 'ctrl+2', 'c')
    wait_until(lambda: keyboard(s)[:5] == ['key(273)', 'key(304)', 'key(97)', 'key(98)', 'key(99)'],
               'the first key after each road stored: %s' % keyboard(s)[:5])

    s.press('ctrl+r')
    arguments, pids = s.wait_for_play('Ctrl+R did not start the emulator')
    # (The stored mapping reaching InputAutoCfg.ini is SupervisionTest's and DefaultBuildTest's.)
    check(arguments[-1] == rom, 'the emulator was not given the ROM: %s' % arguments)

    s.press('ctrl+period')
    wait_until(lambda: not alive(pids[0]), 'Ctrl+. stopping the emulator')
    s.clear_record()
    other = s.make_rom(s.path('other.v64'))
    check(subprocess.run([s.program('tolvane-launcher'), 'other.v64'], cwd=s.work, env=s.env, timeout=20).returncode == 0,
          'a second start did not hand over its file')
    wait_until(lambda: run_quietly('xdotool', 'getwindowname', s.window).stdout.startswith('other.v64'), 'the handed-over file shown')
    s.press('ctrl+r')
    arguments, pids = s.wait_for_play('a second Play did not start')
    check(arguments[-1] == other, 'the handed-over ROM was not played: %s' % arguments)
    # Ended by the session rather than by Quit: the Launcher ends and asks its emulator to end.
    s.launcher.send_signal(signal.SIGTERM)
    s.launcher.wait(15)
    for pid in s.pids[1:]:  # the first is the accessibility bus
        wait_until(lambda: not alive(pid), 'process %d ended' % pid)


run(scenario)
