<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>ArchiveEntryChooser</name>
    <message>
        <source>Open ROM Image</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Choose a ROM image</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>“%1” holds several ROM images. Which one do you want to open?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 (%2)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ROM images</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ControllerPicture</name>
    <message>
        <source>Controller picture</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Click an input to select its row in the mapping table.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ControllerPreferencesViewController</name>
    <message>
        <source>Press a key</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Select an input, then press a key</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No joystick connected</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Press a button or move a stick on %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Select an input, then press a button or move a stick on %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>“%1” cannot be mapped: the emulator has no number for this key. The row is unchanged.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Joystick 1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ControllerPrefsView</name>
    <message>
        <source>&amp;Controller:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Controller</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Select a row, then press a key or move the joystick.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Controller mapping</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Select a row, then press the key or joystick control to map to it.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Reset to Defaults</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Reset to Defaults</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CoverFinder</name>
    <message>
        <source>“%1” is not a PNG, JPEG or WebP picture that can be read here.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The covers folder “%1” cannot be made.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>“%1” cannot be read.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>“%1” was not used as a cover: its contents are not a PNG, JPEG or WebP picture that can be read here.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>“%1” could not be copied into “%2”: %3.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CoverLoader</name>
    <message>
        <source>The cover “%1” is not shown: it cannot be opened (%2).</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The cover “%1” is not shown: at %2 × %3 pixels it needs %4 MB to be read, more than the %5 MB a cover may take.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The cover “%1” is not shown: it cannot be read as a PNG, JPEG or WebP picture.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>EffectiveSettings</name>
    <message>
        <source>video</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>emulator build</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>controllers</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>, </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Started with its own video settings.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Started with its own emulator build.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Started with its own video settings and emulator build.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Started with its own controller settings.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Started with its own video and controller settings.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Started with its own emulator build and controller settings.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Started with its own video, emulator and controller settings.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>EmptyView</name>
    <message>
        <source>No ROM</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Drop a ROM image (.z64, .v64 or .n64) or a .zip or .7z archive of them here, or choose File ▸ Open…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Drop a ROM image or a .zip or .7z archive of them here, or choose Open from the File menu</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Reading the ROM</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>EmulatorOutputLog</name>
    <message>
        <source>The Launcher&apos;s standard error is not being read: the emulator&apos;s output is kept here but no longer passed on there until it is read again.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The Launcher&apos;s standard output is not being read: the emulator&apos;s output is kept here but no longer passed on there until it is read again.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>EmulatorOutputWindow</name>
    <message>
        <source>Emulator Output</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Command</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The emulator has not been started yet.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Emulator output</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Command:</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>EmulatorPreferencesViewController</name>
    <message>
        <source>Default</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Custom</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>None installed. Put one in %1 for yourself, or in %2 for everyone.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Yours, in %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Installed with the Launcher, in %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Choose the Emulator Build</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Choose the emulator build</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>EmulatorPrefsView</name>
    <message>
        <source>Emulator &amp;build:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Emulator build</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Custom build:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Custom build path</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Click or press Enter to choose the emulator executable.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Click to choose the emulator executable</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Default build in use:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Default build in use</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>EmulatorSupervisor</name>
    <message>
        <source>The emulator cannot be started: no emulator program is chosen.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The emulator cannot be started: %1 was not found.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The emulator cannot be started: %1 is not a program that can be run.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The emulator stopped.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The emulator crashed (%1).</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>signal %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The emulator quit.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The emulator could not be started because something %1 needs (its interpreter or a library) is missing.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The emulator could not be started: %1 was not found.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The emulator exited with status %1.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>EntryExtractor</name>
    <message>
        <source>The private folder for extracted games cannot be made: there is no private runtime folder.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>a file that is not a folder is in its place</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>it belongs to another user</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>other users can reach it</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The private folder for extracted games, %1, cannot be made: %2.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The game cannot be extracted: %1.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>There is not enough free space in %1 to extract the game.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ErrorWinController</name>
    <message>
        <source>Cannot Open the File</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ErrorWindow</name>
    <message>
        <source>Cannot Open the File</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Message</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>FileReplacer</name>
    <message>
        <source>the disk is full</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>you may not write to the folder “%1”</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the disk holding “%1” is read-only</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the folder “%1” does not exist</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the disk reported an error</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>FolderWalker</name>
    <message>
        <source>The library folder “%1” cannot be read: %2.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The folder “%1” cannot be read, so its files are left out: %2.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>FolderWatcher</name>
    <message>
        <source>the limit on watched folders (fs.inotify.max_user_watches) is reached</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>GameHistory</name>
    <message>
        <source>Today</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Yesterday</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <source>%n days ago</source>
        <translation type="unfinished">
            <numerusform></numerusform>
            <numerusform></numerusform>
        </translation>
    </message>
    <message>
        <source>Less than a minute</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 min</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 h %2 min</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>GameLibrary</name>
    <message>
        <source>Looking for ROM images…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Reading %1 of %2 (%3 from the cache)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Scan cancelled: %1 read, %2 from the cache.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No ROM folder chosen. Add one from the File menu or Preferences.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No ROM images in the library folders.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The system lost track of some changes in the library folders (too many at once); all of them were read again.</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <source>%Ln file(s), all from the cache.</source>
        <translation type="unfinished">
            <numerusform></numerusform>
            <numerusform></numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%Ln file(s): %1 read, %2 from the cache.</source>
        <translation type="unfinished">
            <numerusform></numerusform>
            <numerusform></numerusform>
        </translation>
    </message>
</context>
<context>
    <name>GameSession</name>
    <message>
        <source>The emulator stopped.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The game started before the Launcher was closed has ended.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>“%1” cannot be opened. %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The file could not be read.</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <source>The archive holds %n ROM images; --play takes an archive with one (open it in the Launcher to choose).</source>
        <translation type="unfinished">
            <numerusform></numerusform>
            <numerusform></numerusform>
        </translation>
    </message>
    <message>
        <source>An emulator is already running; it was left as it is.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>A game started before the Launcher was closed is still running.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Stopping… The emulator has not ended yet; Force Stop ends it without letting it save.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Stopping…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Paused %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Running %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Running %1. %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>“%1” cannot be played.

%2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The extraction was cancelled.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>GameSettingsCommands</name>
    <message>
        <source>Game Settings…</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>GameSettingsWindowController</name>
    <message>
        <source>Game Settings — %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Use the global setting</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Video</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The video plug-in, resolution and full screen of the Video preferences</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Emulator</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The emulator build of the Emulator preferences</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Controllers</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The controller mapping of the Controllers preferences</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Discard This Game&apos;s Mapping?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>This game&apos;s own controller mapping will be discarded, and the game will use the global mapping.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Discard</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>HelpWindow</name>
    <message>
        <source>Tolvane Launcher Help</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Guide</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The guide is not installed.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>LibraryCache</name>
    <message>
        <source>The library cache folder “%1” cannot be written</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The library cache is in use by another program</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The disk holding the library cache is full</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The library cache “%1” cannot be opened (%2)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The library cache “%1” cannot be written (%2); it is used as it is and not updated until the next start.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The library cache “%1” cannot be written; it is used as it is and not updated.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>version %1, this Launcher uses %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The library cache could not be used (%1); it was set aside as “%2” and is being rebuilt.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The library cache “%1” cannot be used (%2)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1; the library is kept in memory and read again at the next start.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1; the library is not cached.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1; the library cache is kept as it is and not updated until the next start.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The library cache is in use by another program; what was found is written at the next scan.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The library cache “%1” cannot be written (%2)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>no connection</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>LibraryController</name>
    <message>
        <source>ROM Library</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Rescan Library</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Search Library</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Add ROM Folder…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Favourite</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Play History</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Covers Folder</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No covers folder is chosen. Keep covers in “%1”? You can choose another in Preferences ▸ Library.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Set Cover Image</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Pictures (%1)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Play</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Open</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Game Settings…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>F&amp;avourite</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Set &amp;Cover Image…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Show in &amp;Folder</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Copy Pa&amp;th</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Copy &amp;MD5</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Add ROM Folder</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>LibraryFilterNotice</name>
    <message>
        <source>No favourites yet: press Ctrl+D on a game.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No favourite matches “%1”.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No game matches “%1”.</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <source>%1 Matches: %n.</source>
        <translation type="unfinished">
            <numerusform></numerusform>
            <numerusform></numerusform>
        </translation>
    </message>
</context>
<context>
    <name>LibraryGridView</name>
    <message>
        <source>%1, %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1, never played.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1, last played %2.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Play</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ROM library covers</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>LibraryModel</name>
    <message>
        <source>Not available: the folder “%1” cannot be reached.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Favourite</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Not a favourite</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1, uses its own settings: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Name</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>File Name</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Game Code</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Region</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>CIC</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Size</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Byte Order</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>MD5</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Own settings</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Last played</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Play time</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>LibraryPanel</name>
    <message>
        <source>Cancel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Show as Grid</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Show as List</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Larger Covers</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Smaller Covers</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Search name, file, game code or region</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Search library</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Clear search</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Favourites</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Show only your favourite games</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ROM library</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Library scan progress</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Stops reading the library folders; what was read is kept</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Sort &amp;by:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Sort by</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Name</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Recently played</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Play time</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cover size</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>LibraryPreferencesViewController</name>
    <message>
        <source>ROM &amp;folders listed in the library, with every folder inside them:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ROM folders</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Add…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Remove</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Add ROM folder</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Remove ROM folder</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Covers folder (pictures named after a game&apos;s MD5, game code, name or file):</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Covers folder</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>None</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>C&amp;hoose…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Choose covers folder</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Choose Covers Folder</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Add ROM Folder</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>LibraryRecord</name>
    <message>
        <source>Asia</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Brazil</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>China</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Germany</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>North America</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>France</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Gateway (NTSC)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Netherlands</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Italy</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Japan</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Korea</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Gateway (PAL)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Canada</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Europe</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Spain</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Australia</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Scandinavia</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>LibraryScanner</name>
    <message numerus="yes">
        <source>%n folder(s), “%1” among them, cannot be watched for changes (%2); use Rescan Library (F5) after changing files there.</source>
        <translation type="unfinished">
            <numerusform></numerusform>
            <numerusform></numerusform>
        </translation>
    </message>
    <message>
        <source>Nothing is mounted on “%1” now; the files found there before are kept as not available.</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <source>Files that went away while they were read (a drive removed?): %n. They are kept as not available and read when they are back.</source>
        <translation type="unfinished">
            <numerusform></numerusform>
            <numerusform></numerusform>
        </translation>
    </message>
</context>
<context>
    <name>MainMenu</name>
    <message>
        <source>Open…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Close Window</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Quit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Preferences…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Tolvane Launcher Help</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Tolvane Launcher</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Emulator Output</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Menu bar</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Open Recent</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;View</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>E&amp;mulation</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Window</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Clear Menu</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Preferences</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>Tolvane Launcher</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ROM</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Emulation</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Status</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Play</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Start the emulator, or resume it</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ctrl+R</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Pause</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Pause the emulator</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ctrl+P</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Stop</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Stop the emulator</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ctrl+.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Eject</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Close the ROM and stop the emulator</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ctrl+E</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>MappingTableModel</name>
    <message>
        <source>Nintendo 64</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Your input</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>MappingValue</name>
    <message>
        <source>Backspace</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Tab</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Return</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Escape</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Space</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Delete</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Keypad Enter</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Up</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Down</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Right</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Left</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Insert</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Home</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>End</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Page Up</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Page Down</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Num Lock</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Caps Lock</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Scroll Lock</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Right Shift</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Left Shift</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Right Ctrl</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Left Ctrl</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Right Alt</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Left Alt</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Right Meta</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Left Meta</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Left Super</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Right Super</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Alt Gr</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Help</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Print</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>SysRq</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Break</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Menu</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Keypad .</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Keypad %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Key %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Button %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Axis %1 %2</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>OutputRelay</name>
    <message numerus="yes">
        <source>tolvane-launcher: %n byte(s) of output were dropped here while this stream was blocked.</source>
        <translation type="unfinished">
            <numerusform></numerusform>
            <numerusform></numerusform>
        </translation>
    </message>
</context>
<context>
    <name>PlayHistory</name>
    <message>
        <source>Your play history cannot be kept: the folder “%1” cannot be written. What you play now is remembered until you quit.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>its folder cannot be written</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Your play history cannot be saved (%1). It is kept as it was; what you play now is remembered until you quit.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Your play history “%1” cannot be used (%2). It is left as it is; what you play now is remembered until you quit.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>it was written by a newer Launcher</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Your play history could not be read (%1). The file was renamed to “%2” and a new history was started.</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <source>Your play history could not be read whole (%1). The file was renamed to “%2”; the %n game(s) that could be read are in a new history.</source>
        <translation type="unfinished">
            <numerusform></numerusform>
            <numerusform></numerusform>
        </translation>
    </message>
    <message>
        <source>Your play history “%1” could not be read (%2), nor set aside. What you play now is not saved.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Your play history cannot be saved: the disk is full. It is kept as it was; what you play now is remembered until you quit.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>PreferenceWindow</name>
    <message>
        <source>Preferences</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Preference pane</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Preference panes</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Video</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ctrl+1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Controllers</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ctrl+2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Emulator</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ctrl+3</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>PrefrenceWindowController</name>
    <message>
        <source>Library</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ROM</name>
    <message>
        <source>Only files on this computer can be opened.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The file does not exist.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>It is a folder, not a ROM image.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>It is a named pipe, not a regular file.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>It is a character device, not a regular file.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>It is a block device, not a regular file.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>It is a socket, not a regular file.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The file cannot be read: %1.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The file is empty.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The file is too large for a ROM image (2 GiB or more).</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The file could not be read: %1.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The archive is damaged or truncated, or it is not a .zip or .7z archive.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The archive is encrypted.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>There is no ROM image inside the archive.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The archive holds too many entries to be read.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>“%1” is encrypted.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>“%1” is damaged in the archive (bad checksum or size).</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The archive entry&apos;s name is not safe to use (empty, with control characters, or a path that leaves its folder).</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The archive no longer holds “%1”.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>“%1” is larger than the largest cartridge (64 MiB).</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The archive&apos;s entries overlap one another, so it would unpack far more than it holds; it is not read.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The archive unpacks to far more than ROM images of its size would; it is not read further.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>“%1” is an archive inside the archive; archives inside archives are not read.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>It is a .zip or .7z archive, not a ROM image.</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <source>The file is only %Ln byte(s) long; a ROM image has at least %1 bytes.</source>
        <translation type="unfinished">
            <numerusform></numerusform>
            <numerusform></numerusform>
        </translation>
    </message>
</context>
<context>
    <name>ROMView</name>
    <message>
        <source>ROM information</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Name:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Name</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Game code:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Game code</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Checksums:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Checksums</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;MD5:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>MD5</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Path:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Path</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Si&amp;ze:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Size</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Byte order:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Byte order</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>C&amp;IC:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>CIC</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ROMViewController</name>
    <message>
        <source>Cover</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Last played:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Last played</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Play time:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Play time</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Game Settings…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Uses its own settings: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Never</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>None</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>z64 (big-endian)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>v64 (byte-swapped)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>n64 (little-endian)</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <source>%1 (%Ln byte(s))</source>
        <translation type="unfinished">
            <numerusform></numerusform>
            <numerusform></numerusform>
        </translation>
    </message>
</context>
<context>
    <name>RomInfoTool</name>
    <message>
        <source>tolvane-rominfo: unknown option %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>tolvane-rominfo: --jobs takes a number from 1 to 256</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>tolvane-rominfo: %1: not read as a ROM image: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Usage: tolvane-rominfo [--json] [--jobs N] [-r] [--] FILE|DIR...
Reads each ROM image as the Launcher does, also each image inside a .zip or .7z
archive (with JSON keys &quot;archive&quot; and &quot;entry&quot;), and prints its name, game code,
header checksum words, CIC variant, MD5 digest of the canonical image and
stored byte order (z64, v64 or n64). In the text form the name is quoted, and
quotes, backslashes and control characters in texts are escaped (\xNN), in
paths also bytes that are not UTF-8. JSON adds &quot;size&quot; (bytes) and &quot;region&quot;.

  --json           print one JSON array with an object per file
  -r, --recursive  read the ROM images in each folder named, and in its subfolders
                   (.z64, .v64, .n64, and .zip and .7z archives, in any letter
                   case, as the library finds them); the output is sorted by path
  --jobs N         read N files in parallel (default: the number of cores)
  -h, --help       print this help and exit
  --version        print the version and exit
  --               end of options: what follows is a file, even if it begins with -

Exit status: 0 when every file was read, 1 when any was not (or a folder could
not be read), 2 on a usage error.
</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>File:       %1
</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Entry:      %1
</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Name:       &quot;%1&quot;
</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Game code:  %1
</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>CRC:        %1
</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>CIC:        %1
</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>MD5:        %1
</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Byte order: %1
</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>cannot be read</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>no such file</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>is a directory</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>not a regular file (named pipe)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>not a regular file (character device)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>not a regular file (block device)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>not a regular file (socket)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>2 GiB or longer</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>damaged or truncated archive, or not a .zip or .7z</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the archive is encrypted</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>no ROM image inside</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>too many entries in the archive</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>is encrypted</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>damaged in the archive (bad checksum or size)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>unsafe entry name</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>no longer in the archive</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>larger than 64 MiB</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>overlapping entries in the archive</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the archive unpacks to far more than its size allows</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>an archive, not a ROM image</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <source>shorter than %1 bytes (%n byte(s))</source>
        <translation type="unfinished">
            <numerusform></numerusform>
            <numerusform></numerusform>
        </translation>
    </message>
</context>
<context>
    <name>RomOpener</name>
    <message>
        <source>Reading progress</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cancel reading</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Reading “%1”…</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>SessionMessages</name>
    <message>
        <source>Extracting “%1”…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Extracting</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cannot Start the Game</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Emulator Not Found</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Choose the emulator program in Preferences ▸ Emulator, or install the default build.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Open Emulator Preferences…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Controller Settings Not Passed On</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The emulator is starting without your controller settings: they could not be saved in “%1”, because you cannot write to that folder.

To use them, put the emulator build in your own folder “%2/tolvane.app”, or make the folder above writable for you.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>SettingsNotice</name>
    <message>
        <source>Settings Not Read</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Your settings file could not be read, so the Launcher started with its default settings. The file was kept as “%1”; your earlier settings are still in it.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Settings Not Saved</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The disk holding your settings is full; your change is kept until the Launcher quits.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Your settings cannot be saved in “%1”: %2. Your changes are kept until the Launcher quits.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Your settings file “%1” cannot be read, so the game was not started: it would have run without your settings. Correct the file, or start the Launcher, which keeps the file aside and starts on its default settings.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Settings File Cannot Be Read</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Your settings file “%1” cannot be read right now; perhaps it is still being edited. The Launcher keeps your settings as they were and saves nothing until the file can be read again.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>SingleInstance</name>
    <message numerus="yes">
        <source>The running Launcher did not take the game within %n seconds (it may be stopped or not responding); nothing was started.</source>
        <translation type="unfinished">
            <numerusform></numerusform>
            <numerusform></numerusform>
        </translation>
    </message>
    <message>
        <source>The running Launcher ended without saying how the game ended.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>SqliteFailure</name>
    <message>
        <source>the disk is full</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>it was written by another version of the Launcher</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the file is damaged</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the file is not a database</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>another program is using it</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>it cannot be written</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>it or its journal cannot be opened</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the disk reported an error</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>there is not enough memory</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>an unknown error</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>VideoPrefsView</name>
    <message>
        <source>&amp;Video plug-in:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Video plug-in</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Resolution:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Resolution</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Full screen</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Full screen</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>WindowController</name>
    <message>
        <source>Force Stop</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>End the emulator at once, without letting it save</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ctrl+Shift+.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Status</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Tolvane Launcher</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Stop the game that is running before playing another.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Choose ROM Folder…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>“%1” was not opened: no image was chosen, or opening it was cancelled.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Open ROM Image</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>“%1” cannot be opened.

%2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The file could not be read.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>An emulator is already running; it was left as it is.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 — Tolvane Launcher</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source>tolvane-launcher: unknown option %1 (try --help; a file named so: -- %1)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Usage: tolvane-launcher [OPTION]... [--] [FILE]...
Shows Nintendo 64 ROM images and plays them with the Tolvane emulator.
A FILE is opened in the Launcher that is already running, if there is one.

  --play FILE    play FILE with its game&apos;s settings and wait until the emulator
                 ends; a running Launcher does the playing, otherwise no
                 window opens
  -h, --help     print this help and exit
  --version      print the version and exit
  --             end of options: what follows is a file, even if it begins with -

Qt&apos;s own options, such as -platform NAME, are accepted too.

Exit status of --play (the reason of a failure is on standard error):
  0       the emulator quit normally, or was stopped in the Launcher
  N       the emulator exited with status N, passed on as it is
  64      the command line is wrong
  66      FILE cannot be opened or its image cannot be extracted
  69      there is no emulator program to start
  75      a game is being played already (it was left as it is), or the running
          Launcher did not take FILE within 5 seconds (stopped or not responding)
  78      the settings file cannot be read; it was left as it is
  128+N   the emulator was ended by signal N (it crashed)
  129     --play was ended by SIGHUP, once the emulator it asked to end had ended
  130     the same for SIGINT (Ctrl+C); a second one ends the emulator at once
  143     the same for SIGTERM
</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>tolvane-launcher: --play takes one FILE and no other files (try --help)</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
