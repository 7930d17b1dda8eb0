#!/usr/bin/env python3
# A game's own settings and its history. Ctrl+G opens "Game Settings — ALPHA ONE", every
# control there named and pressable over AT-SPI; its own resolution typed and a key captured by
# real keys reach the stand-in's command line and InputAutoCfg.ini for that game only, with the
# status line and the ROM view saying so, also after a restart and for its copy in another byte
# order; --play through the running Launcher and without one. A short run with a pause reads
# "Today" and adds no play time; a favourite outlives a restart and a deleted library cache; a
# damaged history is renamed aside with a message.
import glob
import os
import sqlite3
import subprocess
import time

from driver import alive, check, run, wait_until


def argument_after(arguments, option):
    return arguments[arguments.index(option) + 1]


def play_and_stop(s, shown=None, running=0, paused=0, resumed=0):
    # Plays for `running` seconds, pauses for `paused` and runs `resumed` more (or shows
    # `shown`), then stops;
    # the resolution and the key of A the emulator was given.
    s.clear_record()
    s.press('ctrl+r')
    arguments, pids = s.wait_for_play()
    started = time.monotonic()  # the run counts from here, however long the start took
    ini = s.recorded_ini()
    key_a = ini.split('[Keyboard]')[1].split('\nA = ')[1].split('\n')[0]
    if shown:
        wait_until(lambda: s.shows(shown), 'shown while it runs: ' + shown, 10)
    for keys, until in ((None, running), ('ctrl+p', running + paused), ('ctrl+r', running + paused + resumed)):
        if keys and paused:
            s.keys(keys)
        time.sleep(max(0, started + until - time.monotonic()))  # a pause, as a player takes one
    s.press('ctrl+period')
    wait_until(lambda: not alive(pids[0]), 'Stop ending the emulator', 10)
    return argument_after(arguments, '--resolution'), key_a


def open_game(s, name):
    s.press('ctrl+f')
    s.type(name)
    s.press('Return')
    wait_until(lambda: s.shows('|text|Name||' + name.upper()), 'the game opened by Enter: ' + name)


def stored(s, column):
    # The largest value of `column` in the history (0 for none).
    with sqlite3.connect(s.history) as history:
        return history.execute('SELECT max(%s) FROM games' % column).fetchone()[0] or 0


def play_cli(s, rom):
    return subprocess.Popen([s.program('tolvane-launcher'), '--play', rom], env=s.env, stdout=subprocess.PIPE,
                            stderr=subprocess.STDOUT, text=True)


def scenario(s):
    one, two = s.make_rom(s.path('lib/one.z64'), '--name', 'ALPHA ONE'), s.make_rom(s.path('lib/two.z64'), '--name', 'BRAVO TWO')
    swapped = s.make_rom(s.path('one-swapped.v64'), '--order', 'v64', '--name', 'ALPHA ONE')
    s.set_settings(LibraryFolders=[s.path('lib')])
    s.start()
    wait_until(lambda: len(s.rows()) == 2, 'the library listed')
    open_game(s, 'alpha')
    wait_until(lambda: s.shows('|Last played||Never', '|Play time||None'), 'the ROM view showing the history', 10)
    globally = play_and_stop(s)
    check(globally[0] != '1920x1080', 'the global resolution is %s' % globally[0])

    s.press('ctrl+g')
    window = s.find_window('^Game Settings — ALPHA ONE$')
    controls = lambda: [a for a in s.ui() if a['window'].startswith('Game Settings') and 'at' in a and a['showing']]
    check(len([a for a in controls() if a['name'] == 'Use the global setting']) == 3, 'not three global boxes: %s' % controls())
    named_and_pressable = lambda: all(a['name'] and (a['actions'] or not a['enabled']) for a in controls())
    check(named_and_pressable(), 'a control without a name or an action: %s' % controls())
    check(any(a['name'] == 'Full screen' and not a['enabled'] for a in controls()), 'the global video controls are enabled')
    s.do('Game Settings', 'Use the global setting', 0)
    wait_until(lambda: any(a['name'] == 'Full screen' and a['enabled'] and 'Toggle' in a['actions'] for a in controls()),
               'the game\'s own video controls pressable')
    check(named_and_pressable(), 'a control without a name or an action: %s' % controls())
    # The resolution field by its mnemonic, typed over and finished with Enter.
    s.press('alt+r', 'ctrl+a', window=window)
    s.type('1920x1080')
    s.keys('Return')
    # The game's own mapping: Keyboard in the pop-up by its mnemonic, the first row armed, Up.
    s.do('Game Settings', 'Use the global setting', 2)
    s.press('alt+c', 'End', 'space', 'Up', window=window)
    s.do('Game Settings', 'Close')
    wait_until(lambda: not s.windows('^Game Settings'), 'Close closing the window', 10)
    # A short run with a pause: "Today", and no play time under the five-second minimum (how long
    # a run counts is tested with a settable clock in ChildProcessTest and PlayHistoryTest).
    before = stored(s, 'last_played')
    check(play_and_stop(s, running=1, paused=1, resumed=1) == ('1920x1080', 'key(273)'), 'the game\'s own settings did not reach the emulator')
    check(s.shows('Uses its own settings: video, controllers'), 'the ROM view does not say so')
    wait_until(lambda: stored(s, 'last_played') > before, 'the short run counted as last played', 10)
    check(stored(s, 'play_ms') == 0, 'a run of 2 s with 1 paused added play time: %d' % stored(s, 'play_ms'))
    wait_until(lambda: s.shows('|Last played||Today', '|Play time||None', 'Today|'), 'the ROM view and the table saying Today')
    open_game(s, 'bravo')
    check(play_and_stop(s) == globally, 'another game did not get the global settings')
    s.press('ctrl+f', 'Up', 'ctrl+d')
    wait_until(lambda: stored(s, 'favourite') == 1, 'Ctrl+D storing a favourite', 10)
    s.quit()

    # After a restart without the library cache: the favourite, the game's own settings.
    os.system('rm -rf "%s"' % s.cache)
    s.start()
    wait_until(lambda: s.shows('|Favourite|'), 'the favourite after a restart without the cache')
    open_game(s, 'alpha')
    check(s.shows('Uses its own settings: video, controllers'), 'the ROM view forgot after a restart')
    check(play_and_stop(s, 'Started with its own video and controller settings.') == ('1920x1080', 'key(273)'),
          'the game\'s settings did not outlive a restart')

    # --play: the running Launcher plays; a second --play meanwhile is refused; status 3 fails.
    s.clear_record()
    cli = play_cli(s, swapped)
    arguments, pids = s.wait_for_play('--play did not reach the running Launcher')
    check(argument_after(arguments, '--resolution') == '1920x1080', 'the v64 copy does not share the game\'s settings')
    refused = play_cli(s, two)
    check(refused.wait() != 0 and 'already running' in refused.stdout.read(), 'a second --play while a game runs was not refused')
    os.kill(pids[0], 10 + 2)  # SIGUSR2: the stand-in exits with 3
    check(cli.wait() != 0 and 'exited with status 3' in cli.stdout.read(), 'no failure for the game that exited with 3')
    s.quit()
    # Without a Launcher: no window, the same settings, the emulator's end is ours.
    s.clear_record()
    cli = play_cli(s, one)
    arguments, pids = s.wait_for_play('--play without a Launcher did not start the emulator')
    check(argument_after(arguments, '--resolution') == '1920x1080', '--play without a Launcher ignored the game\'s settings')
    check(not subprocess.run(['xdotool', 'search', '--onlyvisible', '--pid', str(cli.pid)], stdout=subprocess.PIPE).stdout,
          '--play without a Launcher opened a window')
    os.kill(pids[0], 10)  # SIGUSR1: the stand-in exits with 0
    check(cli.wait() == 0, '--play without a Launcher failed: ' + cli.stdout.read())

    # A damaged history: said in a window of its own (the library core's messages go elsewhere).
    with open(s.history, 'w') as f:
        f.write('damaged ' * 500)
    for journal in glob.glob(s.history + '-*'):
        os.remove(journal)
    s.start()
    wait_until(lambda: s.shows('renamed', '|Not a favourite|'), 'a damaged history reported and the Launcher going on')
    check(glob.glob(s.history + '.damaged-*'), 'the damaged history was not kept aside')
    s.quit()


run(scenario)
