#!/usr/bin/env python3
# The ROM library between real processes. A folder with an image and a .zip is listed with every
# control named for a screen reader; the archive's entry, opened by a search and Enter, plays
# from an extracted copy, and the copy left by a Launcher killed with SIGKILL goes at the next
# start, which --tv makes in TV mode. (What is listed from which tree, archive and cache, and which copies go, is the
# in-process tests' work.)
import glob
import os
import signal
import subprocess

from driver import check, run, wait_until


def scenario(s):
    lib = s.path('lib')
    s.make_rom(s.path('lib/one.z64'), '--name', 'ALPHA ONE')
    s.make_rom(s.path('plain/Game.n64'), '--order', 'n64', '--name', 'GAME ZIPPED')
    subprocess.run(['zip', '-q', lib + '/game.zip', 'Game.n64'], cwd=s.path('plain'), check=True)
    s.set_settings(LibraryFolders=[lib])
    s.start()
    wait_until(lambda: s.shows('row: ALPHA ONE', 'row: GAME ZIPPED', rows=2), 'the folder listed')
    # A screen reader can name every button and bar (Qt's clear button too); Cancel says what it does.
    controls = [a for a in s.ui(hidden=True) if a['role'] in ('push button', 'progress bar')]
    check(all(a['name'] for a in controls), 'unnamed controls: %s' % controls)
    check(any(a['name'] == 'Cancel' and a['desc'] for a in controls), 'Cancel has no description')

    # An archive's entry plays from a copy (its name, bytes and privacy are WindowControllerTest's).
    s.press('ctrl+f')
    s.type('zipped')
    s.press('Return')
    wait_until(lambda: s.shows('|text|Name||GAME ZIPPED'), 'the entry opened by Enter')
    s.press('ctrl+r')
    arguments, pids = s.wait_for_play('Enter and Play of an entry did not start the emulator')
    extracted = lambda: glob.glob(s.env['XDG_RUNTIME_DIR'] + '/tolvane-launcher/extracted-*')
    check(extracted() == [arguments[-1]], 'not played from a copy: %s' % arguments)
    # Killed while a zipped game runs: the copy stays, and the next start removes it.
    s.launcher.kill()
    s.launcher.wait()
    for pid in pids:
        os.kill(pid, signal.SIGTERM)
    check(extracted(), 'nothing was left behind to clean up')
    s.start('--tv')
    wait_until(lambda: not extracted(), 'the next start removing %s' % extracted())
    wait_until(lambda: s.shows('A Play · B Back · X Menu · Y Favourite', 'push button|Leave TV Mode|'), 'TV mode from --tv')
    s.quit()


run(scenario, tools=('zip',))
