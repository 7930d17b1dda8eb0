#!/usr/bin/env python3
# The ROM library and its archives. A folder tree (nested, three byte orders, upper-case
# extensions, a refused file, a symlink loop, .zip and .7z archives: two images in one, none in
# one, a damaged and two encrypted ones) is listed with internal names and MD5s, every control
# named; a search and Enter open an image, Play starts it, from an extracted copy for an archive
# entry that Stop removes; a copied file appears; a second start lists all from the cache; a
# copy left by a Launcher killed with SIGKILL goes at the next start; a cache folder that
# cannot be written and a vanished folder each leave a working Launcher.
import glob
import hashlib
import json
import os
import shutil
import signal
import stat
import subprocess

from driver import check, run, wait_until


def scenario(s):
    lib, plain = s.path('lib'), s.path('plain')
    os.makedirs(s.path('plain'))
    s.make_rom(s.path('lib/one.z64'), '--name', 'ALPHA ONE')
    s.make_rom(s.path('lib/nested/deeper/TWO.V64'), '--order', 'v64', '--name', 'BRAVO TWO')
    s.make_rom(s.path('lib/nested/Three.N64'), '--order', 'n64', '--name', 'CHARLIE THREE', '--game-code', 'NCHP')
    with open(s.path('lib/short.z64'), 'wb') as f:
        f.write(bytes(100))
    os.symlink('..', s.path('lib/nested/deeper/loop'))
    for i, (order, kind) in enumerate([(o, k) for o in ('z64', 'v64', 'n64') for k in ('zip', '7z')], 1):
        s.make_rom(s.path('plain/Game %d.%s' % (i, order)), '--order', order, '--name', 'GAME %s %s' % (kind, order))
        pack = ['zip', '-q'] if kind == 'zip' else ['7zr', 'a', '-bd']
        subprocess.run(pack + ['%s/game%d.%s' % (lib, i, kind), 'Game %d.%s' % (i, order)], cwd=plain, check=True, stdout=subprocess.DEVNULL)
    s.make_rom(s.path('plain/first.z64'), '--name', 'PAIR FIRST')
    s.make_rom(s.path('plain/second.n64'), '--order', 'n64', '--name', 'PAIR SECOND')
    with open(s.path('plain/readme.txt'), 'w') as f:
        f.write('hello\n')
    packed = lib
    for command in (['zip', '-q', packed + '/pair.zip', 'first.z64', 'second.n64'], ['7zr', 'a', '-bd', packed + '/empty.7z', 'readme.txt'],
                    ['zip', '-q', '-P', 'secret', packed + '/locked.zip', 'first.z64'],
                    ['7zr', 'a', '-bd', '-psecret', '-mhe=on', packed + '/hidden.7z', 'first.z64']):
        subprocess.run(command, cwd=plain, check=True, stdout=subprocess.DEVNULL)
    with open(packed + '/pair.zip', 'rb') as whole, open(packed + '/corrupt.zip', 'wb') as cut:
        cut.write(whole.read(3000))
    s.set_settings(LibraryFolders=[lib])
    # Every image's MD5 as the reader gives it for the plain copy.
    images = glob.glob(plain + '/*.?64')
    expected = json.loads(subprocess.run([s.program('tolvane-rominfo'), '--json', *images], stdout=subprocess.PIPE).stdout)

    s.start()
    # 3 images and a refused file, 6 single images in archives, 2 of the pair, 4 refused archives,
    # each image with the MD5 of its plain copy; in one look, as a change noticed meanwhile
    # reads the folder again.
    shown = ['15 files', 'row: ALPHA ONE', 'row: BRAVO TWO', 'row: CHARLIE THREE', 'row: The file is only 100 bytes long',
             'pair.zip ▸ second.n64', 'There is no ROM image inside the archive.', 'The archive is encrypted.',
             '“first.z64” is encrypted.', 'damaged'] + ['row: %s|' % r['name'].strip() for r in expected]
    md5s = {r['name'].strip(): r['md5'] for r in expected}

    def listed():
        ui = s.ui_text()
        rows = [line[5:] for line in ui.split('\n') if line.startswith('row: ')]
        return len(rows) == 16 and all(t in ui for t in shown) and all(md5s.get(r.split('|')[0], '') in r for r in rows)
    wait_until(listed, 'the tree listed with its MD5s and summed up', 60)
    # A screen reader can name every button and bar (Qt's clear button too); Cancel says what it does.
    controls = [a for a in s.ui(hidden=True) if a['role'] in ('push button', 'progress bar')]
    check(all(a['name'] for a in controls), 'unnamed controls: %s' % controls)
    check(any(a['name'] == 'Cancel' and a['desc'] for a in controls), 'Cancel has no description')

    s.press('ctrl+f')
    s.type('bravo')
    s.press('Return')
    wait_until(lambda: s.shows('|text|Name||BRAVO TWO'), 'the row opened by Enter')
    s.press('ctrl+r')
    arguments, _ = s.wait_for_play('Enter and Play did not start the emulator')
    check(arguments[-1] == s.path('lib/nested/deeper/TWO.V64'), 'wrong ROM played: %s' % arguments)
    s.press('ctrl+period', 'ctrl+f', 'Escape')
    s.make_rom(s.path('copy.z64'), '--name', 'DELTA COPIED')
    shutil.copy(s.path('copy.z64'), s.path('lib/nested'))
    wait_until(lambda: s.shows('row: DELTA COPIED'), 'a copied file picked up')

    # An archive's entry plays from a private plain copy, removed at Stop.
    extracted = lambda: glob.glob(s.env['XDG_RUNTIME_DIR'] + '/tolvane-launcher/extracted-*')
    s.clear_record()
    s.press('ctrl+f')
    s.type('GAME 7z n64')
    s.press('Return')
    wait_until(lambda: s.shows('|text|Name||GAME 7z n64'), 'the entry opened by Enter')
    s.press('ctrl+r')
    arguments, _ = s.wait_for_play('Enter and Play of an entry did not start the emulator')
    copy = arguments[-1]
    check(copy.startswith(s.env['XDG_RUNTIME_DIR'] + '/tolvane-launcher/extracted-') and copy.endswith('Game 6.n64'), 'not a copy: ' + copy)
    with open(copy, 'rb') as a, open(s.path('plain/Game 6.n64'), 'rb') as b:
        check(hashlib.md5(a.read()).digest() == hashlib.md5(b.read()).digest(), 'the extracted copy differs from the plain image')
    check(stat.S_IMODE(os.stat(os.path.dirname(copy)).st_mode) == 0o700, 'the extraction folder is not private')
    s.press('ctrl+period')
    wait_until(lambda: not os.path.exists(copy), 'Stop removing the extracted copy')
    # Killed while a zipped game runs: the copy stays, and the next start removes it.
    s.clear_record()
    s.press('ctrl+r')
    _, pids = s.wait_for_play('Play did not start the emulator again')
    s.launcher.kill()
    s.launcher.wait()
    for pid in pids:
        os.kill(pid, signal.SIGTERM)
    check(extracted(), 'nothing was left behind to clean up')
    s.start()
    wait_until(lambda: not extracted(), 'the next start removing %s' % extracted())
    # The copy was read moments after it was made, so it alone is read again.
    wait_until(lambda: any(t in s.ui_text() for t in ('16 files, all from the cache', '16 files: 1 read, 15 from the cache')),
               'the second start from the cache')
    s.make_rom(s.path('lib/one.z64'), '--size', '16K', '--name', 'ALPHA CHANGED')
    wait_until(lambda: s.shows('row: ALPHA CHANGED'), 'a changed file read again')
    s.quit()
    # What the cache says reaches the window (its cases are the library core's test); a folder
    # gone is noticed at F5 too.
    shutil.rmtree(s.cache)
    with open(s.cache, 'w') as f:
        f.write('blocked\n')
    s.start()
    wait_until(lambda: s.shows('cannot be written', rows=17), 'an unwritable cache reported, no row lost')
    os.rename(lib, s.path('gone'))
    s.press('F5')
    wait_until(lambda: s.shows('cannot be read', 'row: Not available: the folder', rows=17), 'a vanished folder reported, its rows kept')
    s.quit()


run(scenario, tools=('zip', '7zr'))
