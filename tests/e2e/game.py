#!/usr/bin/env python3
# The library, a game's own settings and --play between real processes. Every control of the main
# window is named for a screen reader; Ctrl+G opens "Game Settings — ALPHA ONE", every control
# there named and pressable over AT-SPI; --play hands its game to the running Launcher, which
# plays it and answers with its end, and without a Launcher opens no window and plays a zipped
# game from an extracted copy. Killed with SIGKILL, it leaves the copy, which the next start
# removes; that start, made with --tv, is in TV mode and tells of a damaged history.
# (What the library lists, what the window stores, how a game's own settings reach the emulator,
# the copy's name and privacy, the history and the favourites are the in-process tests' work;
# real keys in the mapping are launcher.py's.)
import glob
import os
import signal
import subprocess

from driver import check, run, wait_until


def play_cli(s, rom):
    return subprocess.Popen([s.program('tolvane-launcher'), '--play', rom], env=s.env, stdout=subprocess.PIPE,
                            stderr=subprocess.STDOUT, text=True)


def scenario(s):
    one = s.make_rom(s.path('lib/one.z64'), '--name', 'ALPHA ONE')
    s.make_rom(s.path('plain/Game.n64'), '--order', 'n64', '--name', 'GAME ZIPPED')
    subprocess.run(['zip', '-q', s.path('game.zip'), 'Game.n64'], cwd=s.path('plain'), check=True)
    s.set_settings(LibraryFolders=[s.path('lib')])
    s.start()
    wait_until(lambda: s.shows(rows=1), 'the library listed')
    # A screen reader can name every button and bar (Qt's clear button too); Cancel says what it does.
    controls = [a for a in s.ui(hidden=True) if a['role'] in ('push button', 'progress bar')]
    check(all(a['name'] for a in controls), 'unnamed controls: %s' % controls)
    check(any(a['name'] == 'Cancel' and a['desc'] for a in controls), 'Cancel has no description')
    s.press('ctrl+f')
    s.type('alpha')
    s.press('Return')
    wait_until(lambda: s.shows('|text|Name||ALPHA ONE'), 'the game opened by Enter')

    s.press('ctrl+g')
    s.find_window('^Game Settings — ALPHA ONE$')
    controls = lambda: [a for a in s.ui() if a['window'].startswith('Game Settings') and 'actions' in a and a['showing']]
    check(len([a for a in controls() if a['name'] == 'Use the global setting']) == 3, 'not three global boxes: %s' % controls())
    named_and_pressable = lambda: all(a['name'] and (a['actions'] or not a['enabled']) for a in controls())
    s.do('Game Settings', 'Use the global setting', 0)
    wait_until(lambda: any(a['name'] == 'Full screen' and a['enabled'] and 'Toggle' in a['actions'] for a in controls()),
               'the game\'s own video controls pressable')
    check(named_and_pressable(), 'a control without a name or an action: %s' % controls())
    s.do('Game Settings', 'Close')
    wait_until(lambda: not s.windows('^Game Settings'), 'Close closing the window', 10)

    # --play: the running Launcher plays, and its status 3 fails the caller.
    cli = play_cli(s, one)
    arguments, pids = s.wait_for_play('--play through the running Launcher')
    check(arguments[-1] == one, 'the running Launcher did not play the game: %s' % arguments)
    os.kill(pids[0], 10 + 2)  # SIGUSR2: the stand-in exits with 3
    check(cli.wait() != 0 and 'exited with status 3' in cli.stdout.read(), 'no failure for the game that exited with 3')
    s.quit()
    # Without a Launcher: no window, and a zipped game plays from a copy, left by a kill -9.
    s.clear_record()
    cli = play_cli(s, s.path('game.zip'))
    arguments, pids = s.wait_for_play('--play without a Launcher')
    check(not subprocess.run(['xdotool', 'search', '--onlyvisible', '--pid', str(cli.pid)], stdout=subprocess.PIPE).stdout,
          '--play without a Launcher opened a window')
    extracted = lambda: glob.glob(s.env['XDG_RUNTIME_DIR'] + '/tolvane-launcher/extracted-*')
    check(extracted() == [arguments[-1]], 'not played from a copy: %s' % arguments)
    cli.kill()
    cli.wait()
    for pid in pids:
        os.kill(pid, signal.SIGTERM)

    # A damaged history: said in a window of its own (the library core's messages go elsewhere).
    with open(s.history, 'w') as f:
        f.write('damaged ' * 500)
    for journal in glob.glob(s.history + '-*'):
        os.remove(journal)
    s.start('--tv')
    wait_until(lambda: not extracted(), 'the next start removing %s' % extracted())
    wait_until(lambda: s.shows('renamed', 'A Play · B Back · X Menu · Y Favourite', 'push button|Leave TV Mode|'),
               'TV mode from --tv, a damaged history reported and the Launcher going on')
    check(glob.glob(s.history + '.damaged-*'), 'the damaged history was not kept aside')
    s.quit()


run(scenario, tools=('zip',))
