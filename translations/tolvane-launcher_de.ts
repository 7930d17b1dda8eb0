<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>ArchiveEntryChooser</name>
    <message>
        <source>Open ROM Image</source>
        <translation>ROM-Abbild öffnen</translation>
    </message>
    <message>
        <source>Choose a ROM image</source>
        <translation>Ein ROM-Abbild wählen</translation>
    </message>
    <message>
        <source>“%1” holds several ROM images. Which one do you want to open?</source>
        <translation>„%1“ enthält mehrere ROM-Abbilder. Welches möchten Sie öffnen?</translation>
    </message>
    <message>
        <source>%1 (%2)</source>
        <translation>%1 (%2)</translation>
    </message>
    <message>
        <source>ROM images</source>
        <translation>ROM-Abbilder</translation>
    </message>
</context>
<context>
    <name>ControllerPicture</name>
    <message>
        <source>Controller picture</source>
        <translation>Bild des Controllers</translation>
    </message>
    <message>
        <source>Click an input to select its row in the mapping table.</source>
        <translation>Klicken Sie auf eine Eingabe, um ihre Zeile in der Belegungstabelle auszuwählen.</translation>
    </message>
</context>
<context>
    <name>ControllerPreferencesViewController</name>
    <message>
        <source>Press a key</source>
        <translation>Drücken Sie eine Taste</translation>
    </message>
    <message>
        <source>Select an input, then press a key</source>
        <translation>Wählen Sie eine Eingabe und drücken Sie dann eine Taste</translation>
    </message>
    <message>
        <source>“%1” cannot be mapped: the emulator has no number for this key. The row is unchanged.</source>
        <translation>„%1“ kann nicht belegt werden: Der Emulator kennt keine Nummer für diese Taste. Die Zeile bleibt unverändert.</translation>
    </message>
    <message>
        <source>Press any button of the pad to use; its layout fills every input at once.</source>
        <translation>Drücken Sie eine beliebige Taste des gewünschten Pads; seine Belegung füllt alle Eingaben auf einmal.</translation>
    </message>
    <message>
        <source>Select an input, then press a button or move a stick on any pad</source>
        <translation>Wählen Sie eine Eingabe und drücken Sie dann eine Taste oder bewegen Sie einen Stick an einem beliebigen Pad</translation>
    </message>
    <message>
        <source>No pad connected. Plug one in; it is found at once.</source>
        <translation>Kein Pad angeschlossen. Schließen Sie eines an; es wird sofort erkannt.</translation>
    </message>
    <message numerus="yes">
        <source>Pads: %1</source>
        <translation>
            <numerusform>Pad: %1</numerusform>
            <numerusform>Pads: %1</numerusform>
        </translation>
    </message>
    <message>
        <source>%1 was unplugged. The input is unchanged and waits for a press on any pad.</source>
        <translation>%1 wurde abgezogen. Die Eingabe bleibt unverändert und wartet auf einen Druck an einem beliebigen Pad.</translation>
    </message>
    <message>
        <source>%1 came from %2.</source>
        <translation>%1 kam von %2.</translation>
    </message>
    <message>
        <source>SDL does not know %1 as a game controller, so its layout cannot be read. Map its inputs one by one.</source>
        <translation>SDL kennt %1 nicht als Gamecontroller, daher kann seine Belegung nicht gelesen werden. Belegen Sie seine Eingaben einzeln.</translation>
    </message>
    <message>
        <source>kept: on this pad it is a hat, which the emulator&apos;s file cannot name</source>
        <translation>beibehalten: an diesem Pad ist es ein Hat-Schalter, den die Datei des Emulators nicht benennen kann</translation>
    </message>
    <message>
        <source>kept: this pad has no such control</source>
        <translation>beibehalten: dieses Pad hat kein solches Bedienelement</translation>
    </message>
    <message>
        <source>Every input was filled from the layout of %1.</source>
        <translation>Alle Eingaben wurden aus der Belegung von %1 gefüllt.</translation>
    </message>
    <message numerus="yes">
        <source>The inputs were filled from the layout of %1, except %n input(s) whose rows say why.</source>
        <translation>
            <numerusform>Die Eingaben wurden aus der Belegung von %1 gefüllt, außer %n Eingabe, deren Zeile den Grund nennt.</numerusform>
            <numerusform>Die Eingaben wurden aus der Belegung von %1 gefüllt, außer %n Eingaben, deren Zeilen den Grund nennen.</numerusform>
        </translation>
    </message>
    <message>
        <source>Press a pad button or move a stick for “%1”…</source>
        <translation>Drücken Sie eine Taste am Gamepad oder bewegen Sie einen Stick für „%1“…</translation>
    </message>
    <message>
        <source>Press A or Enter, then a pad button or a stick, to map “%1”.</source>
        <translation>Drücken Sie A oder die Eingabetaste und dann eine Gamepad-Taste oder einen Stick, um „%1“ zuzuordnen.</translation>
    </message>
    <message>
        <source>No pad button came in time; the input is unchanged.</source>
        <translation>Es wurde nicht rechtzeitig eine Gamepad-Taste gedrückt; die Eingabe bleibt unverändert.</translation>
    </message>
</context>
<context>
    <name>ControllerPrefsView</name>
    <message>
        <source>&amp;Controller:</source>
        <translation>&amp;Controller:</translation>
    </message>
    <message>
        <source>Controller</source>
        <translation>Controller</translation>
    </message>
    <message>
        <source>Select a row, then press a key or move the joystick.</source>
        <translation>Wählen Sie eine Zeile und drücken Sie dann eine Taste oder bewegen Sie den Joystick.</translation>
    </message>
    <message>
        <source>Controller mapping</source>
        <translation>Controller-Belegung</translation>
    </message>
    <message>
        <source>Select a row, then press the key or joystick control to map to it.</source>
        <translation>Wählen Sie eine Zeile und drücken Sie dann die Taste oder das Joystick-Element, das sie belegen soll.</translation>
    </message>
    <message>
        <source>&amp;Reset to Defaults</source>
        <translation>&amp;Standard wiederherstellen</translation>
    </message>
    <message>
        <source>Reset to Defaults</source>
        <translation>Standard wiederherstellen</translation>
    </message>
    <message>
        <source>&amp;Name in the emulator&apos;s file:</source>
        <translation>&amp;Name in der Datei des Emulators:</translation>
    </message>
    <message>
        <source>Name in the emulator&apos;s file</source>
        <translation>Name in der Datei des Emulators</translation>
    </message>
    <message>
        <source>Map from Pad &amp;Layout…</source>
        <translation>Aus Pad-&amp;Belegung zuordnen…</translation>
    </message>
    <message>
        <source>Map from Pad Layout</source>
        <translation>Aus Pad-Belegung zuordnen</translation>
    </message>
</context>
<context>
    <name>ControllerRecord</name>
    <message>
        <source>Keyboard</source>
        <translation>Tastatur</translation>
    </message>
    <message>
        <source>Joystick 1</source>
        <translation>Joystick 1</translation>
    </message>
    <message>
        <source>Joystick 2</source>
        <translation>Joystick 2</translation>
    </message>
    <message>
        <source>Start</source>
        <translation>Start</translation>
    </message>
    <message>
        <source>C Up</source>
        <translation>C oben</translation>
    </message>
    <message>
        <source>C Down</source>
        <translation>C unten</translation>
    </message>
    <message>
        <source>C Left</source>
        <translation>C links</translation>
    </message>
    <message>
        <source>C Right</source>
        <translation>C rechts</translation>
    </message>
    <message>
        <source>D-Pad Up</source>
        <translation>Steuerkreuz oben</translation>
    </message>
    <message>
        <source>D-Pad Down</source>
        <translation>Steuerkreuz unten</translation>
    </message>
    <message>
        <source>D-Pad Left</source>
        <translation>Steuerkreuz links</translation>
    </message>
    <message>
        <source>D-Pad Right</source>
        <translation>Steuerkreuz rechts</translation>
    </message>
    <message>
        <source>Stick Up</source>
        <translation>Stick oben</translation>
    </message>
    <message>
        <source>Stick Down</source>
        <translation>Stick unten</translation>
    </message>
    <message>
        <source>Stick Left</source>
        <translation>Stick links</translation>
    </message>
    <message>
        <source>Stick Right</source>
        <translation>Stick rechts</translation>
    </message>
</context>
<context>
    <name>CoverFinder</name>
    <message>
        <source>“%1” is not a PNG, JPEG or WebP picture that can be read here.</source>
        <translation>„%1“ ist kein PNG-, JPEG- oder WebP-Bild, das hier gelesen werden kann.</translation>
    </message>
    <message>
        <source>The covers folder “%1” cannot be made.</source>
        <translation>Der Cover-Ordner „%1“ kann nicht angelegt werden.</translation>
    </message>
    <message>
        <source>“%1” cannot be read.</source>
        <translation>„%1“ kann nicht gelesen werden.</translation>
    </message>
    <message>
        <source>“%1” was not used as a cover: its contents are not a PNG, JPEG or WebP picture that can be read here.</source>
        <translation>„%1“ wurde nicht als Cover verwendet: Der Inhalt ist kein PNG-, JPEG- oder WebP-Bild, das hier gelesen werden kann.</translation>
    </message>
    <message>
        <source>“%1” could not be copied into “%2”: %3.</source>
        <translation>„%1“ konnte nicht nach „%2“ kopiert werden: %3.</translation>
    </message>
</context>
<context>
    <name>CoverLoader</name>
    <message>
        <source>The cover “%1” is not shown: it cannot be opened (%2).</source>
        <translation>Das Cover „%1“ wird nicht angezeigt: Es kann nicht geöffnet werden (%2).</translation>
    </message>
    <message>
        <source>The cover “%1” is not shown: at %2 × %3 pixels it needs %4 MB to be read, more than the %5 MB a cover may take.</source>
        <translation>Das Cover „%1“ wird nicht angezeigt: Mit %2 × %3 Pixeln braucht es zum Lesen %4 MB, mehr als die %5 MB, die ein Cover belegen darf.</translation>
    </message>
    <message>
        <source>The cover “%1” is not shown: it cannot be read as a PNG, JPEG or WebP picture.</source>
        <translation>Das Cover „%1“ wird nicht angezeigt: Es kann nicht als PNG-, JPEG- oder WebP-Bild gelesen werden.</translation>
    </message>
</context>
<context>
    <name>DatCatalog</name>
    <message>
        <source>“%1” is not used: %2</source>
        <translation>„%1“ wird nicht verwendet: %2</translation>
    </message>
    <message numerus="yes">
        <source>%1, %Ln games</source>
        <translation>
            <numerusform>%1, %Ln Spiel</numerusform>
            <numerusform>%1, %Ln Spiele</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1, %2, %Ln games</source>
        <translation>
            <numerusform>%1, %2, %Ln Spiel</numerusform>
            <numerusform>%1, %2, %Ln Spiele</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>DatDrop</name>
    <message>
        <source>DAT Files</source>
        <translation>DAT-Dateien</translation>
    </message>
    <message>
        <source>“%1” identifies your games already.</source>
        <translation>„%1“ erkennt Ihre Spiele bereits.</translation>
    </message>
    <message>
        <source>Use “%1” to identify games?</source>
        <translation>„%1“ verwenden, um Spiele zu erkennen?</translation>
    </message>
</context>
<context>
    <name>DatFile</name>
    <message>
        <source>%1 Reading stopped at line %2.</source>
        <translation>%1 Das Lesen endete in Zeile %2.</translation>
    </message>
    <message>
        <source>The file does not exist.</source>
        <translation>Die Datei existiert nicht.</translation>
    </message>
    <message>
        <source>It is not a regular file.</source>
        <translation>Dies ist keine reguläre Datei.</translation>
    </message>
    <message>
        <source>The file cannot be opened: %1.</source>
        <translation>Die Datei kann nicht geöffnet werden: %1.</translation>
    </message>
    <message>
        <source>The DAT in the archive is larger than %1 MiB, far more than any DAT of Nintendo 64 games.</source>
        <translation>Die DAT im Archiv ist größer als %1 MiB, weit mehr als jede DAT von Nintendo-64-Spielen.</translation>
    </message>
    <message>
        <source>The archive holds no .dat or .xml file.</source>
        <translation>Das Archiv enthält keine .dat- oder .xml-Datei.</translation>
    </message>
    <message numerus="yes">
        <source>The archive holds %n DAT files; only an archive holding one can be used.</source>
        <translation>
            <numerusform>Das Archiv enthält %n DAT-Datei; nur ein Archiv mit genau einer kann verwendet werden.</numerusform>
            <numerusform>Das Archiv enthält %n DAT-Dateien; nur ein Archiv mit genau einer kann verwendet werden.</numerusform>
        </translation>
    </message>
    <message>
        <source>The file is larger than %1 MiB, far more than any DAT of Nintendo 64 games.</source>
        <translation>Die Datei ist größer als %1 MiB, weit mehr als jede DAT von Nintendo-64-Spielen.</translation>
    </message>
    <message>
        <source>The file cannot be read: %1.</source>
        <translation>Die Datei kann nicht gelesen werden: %1.</translation>
    </message>
    <message>
        <source>The file holds a NUL byte, which no DAT does.</source>
        <translation>Die Datei enthält ein NUL-Byte, das in keiner DAT vorkommt.</translation>
    </message>
    <message>
        <source>The file lists no game files.</source>
        <translation>Die Datei führt keine Spieldateien auf.</translation>
    </message>
    <message>
        <source>A file is listed outside any game.</source>
        <translation>Eine Datei ist außerhalb jedes Spiels aufgeführt.</translation>
    </message>
    <message numerus="yes">
        <source>The file lists more than %n entries.</source>
        <translation>
            <numerusform>Die Datei führt mehr als %n Eintrag auf.</numerusform>
            <numerusform>Die Datei führt mehr als %n Einträge auf.</numerusform>
        </translation>
    </message>
    <message>
        <source>The MD5 “%1” is not 32 hexadecimal digits.</source>
        <translation>Der MD5-Wert „%1“ besteht nicht aus 32 Hexadezimalziffern.</translation>
    </message>
    <message>
        <source>The SHA-1 “%1” is not 40 hexadecimal digits.</source>
        <translation>Der SHA-1-Wert „%1“ besteht nicht aus 40 Hexadezimalziffern.</translation>
    </message>
    <message>
        <source>The CRC “%1” is not 8 hexadecimal digits.</source>
        <translation>Der CRC-Wert „%1“ besteht nicht aus 8 Hexadezimalziffern.</translation>
    </message>
    <message>
        <source>The size “%1” is not a number of bytes.</source>
        <translation>Die Größe „%1“ ist keine Anzahl von Bytes.</translation>
    </message>
</context>
<context>
    <name>DatRename</name>
    <message>
        <source>“%1” cannot be a file name.</source>
        <translation>„%1“ kann kein Dateiname sein.</translation>
    </message>
    <message>
        <source>“%1” exists already; nothing was renamed.</source>
        <translation>„%1“ existiert bereits; nichts wurde umbenannt.</translation>
    </message>
    <message>
        <source>The folder of “%1” cannot be written; nothing was renamed.</source>
        <translation>Der Ordner von „%1“ ist nicht beschreibbar; nichts wurde umbenannt.</translation>
    </message>
    <message>
        <source>“%1” could not be renamed: %2.</source>
        <translation>„%1“ konnte nicht umbenannt werden: %2.</translation>
    </message>
</context>
<context>
    <name>DatStatus</name>
    <message>
        <source>Verified</source>
        <translation>Verifiziert</translation>
    </message>
    <message>
        <source>Bad dump</source>
        <translation>Fehlerhafter Dump</translation>
    </message>
    <message>
        <source>Differs from %1</source>
        <translation>Weicht von %1 ab</translation>
    </message>
    <message>
        <source>Not in your DAT files</source>
        <translation>Nicht in Ihren DAT-Dateien</translation>
    </message>
    <message>
        <source>This file is a verified copy of “%1”, as listed in “%2”.</source>
        <translation>Diese Datei ist eine verifizierte Kopie von „%1“, wie in „%2“ aufgeführt.</translation>
    </message>
    <message>
        <source>This file is a known bad dump of “%1”, as listed in “%2”.</source>
        <translation>Diese Datei ist ein bekannter fehlerhafter Dump von „%1“, wie in „%2“ aufgeführt.</translation>
    </message>
    <message>
        <source>This file is not the copy of “%1” listed in “%2”: it has that game&apos;s name or code and size, but other contents, so it is modified or damaged.</source>
        <translation>Diese Datei ist nicht die in „%2“ aufgeführte Kopie von „%1“: Sie hat Namen oder Code und Größe dieses Spiels, aber einen anderen Inhalt, ist also verändert oder beschädigt.</translation>
    </message>
    <message>
        <source>None of your DAT files lists this file.</source>
        <translation>Keine Ihrer DAT-Dateien führt diese Datei auf.</translation>
    </message>
</context>
<context>
    <name>DatTextReader</name>
    <message>
        <source>This is not a DAT file: it is neither XML nor blocks of the clrmamepro text form.</source>
        <translation>Dies ist keine DAT-Datei: Sie ist weder XML, noch besteht sie aus Blöcken der clrmamepro-Textform.</translation>
    </message>
    <message>
        <source>A block name was expected here.</source>
        <translation>Hier wurde ein Blockname erwartet.</translation>
    </message>
    <message>
        <source>The block name “%1” is not followed by “(”.</source>
        <translation>Auf den Blocknamen „%1“ folgt kein „(“.</translation>
    </message>
    <message>
        <source>A block is not closed before the end of the file.</source>
        <translation>Ein Block wird vor dem Ende der Datei nicht geschlossen.</translation>
    </message>
    <message>
        <source>A key was expected here.</source>
        <translation>Hier wurde ein Schlüssel erwartet.</translation>
    </message>
    <message>
        <source>The key “%1” has no value.</source>
        <translation>Der Schlüssel „%1“ hat keinen Wert.</translation>
    </message>
    <message>
        <source>Blocks are nested deeper than any DAT nests them.</source>
        <translation>Blöcke sind tiefer verschachtelt als in jeder DAT.</translation>
    </message>
    <message>
        <source>A quoted text is not closed before the end of its line.</source>
        <translation>Ein Text in Anführungszeichen wird vor dem Ende seiner Zeile nicht geschlossen.</translation>
    </message>
    <message numerus="yes">
        <source>A name or value is longer than %n characters.</source>
        <translation>
            <numerusform>Ein Name oder Wert ist länger als %n Zeichen.</numerusform>
            <numerusform>Ein Name oder Wert ist länger als %n Zeichen.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>DatXmlReader</name>
    <message>
        <source>This is not a DAT file: it holds no XML element.</source>
        <translation>Dies ist keine DAT-Datei: Sie enthält kein XML-Element.</translation>
    </message>
    <message>
        <source>This is not a DAT file: it begins with &lt;%1&gt;, not &lt;datafile&gt;.</source>
        <translation>Dies ist keine DAT-Datei: Sie beginnt mit &lt;%1&gt;, nicht mit &lt;datafile&gt;.</translation>
    </message>
    <message numerus="yes">
        <source>A game&apos;s name is longer than %n characters.</source>
        <translation>
            <numerusform>Der Name eines Spiels ist länger als %n Zeichen.</numerusform>
            <numerusform>Der Name eines Spiels ist länger als %n Zeichen.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>A file&apos;s name is longer than %n characters.</source>
        <translation>
            <numerusform>Der Name einer Datei ist länger als %n Zeichen.</numerusform>
            <numerusform>Der Name einer Datei ist länger als %n Zeichen.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>A header field or serial is longer than %n characters.</source>
        <translation>
            <numerusform>Ein Kopffeld oder eine Seriennummer ist länger als %n Zeichen.</numerusform>
            <numerusform>Ein Kopffeld oder eine Seriennummer ist länger als %n Zeichen.</numerusform>
        </translation>
    </message>
    <message>
        <source>The XML is damaged: %1.</source>
        <translation>Das XML ist beschädigt: %1.</translation>
    </message>
</context>
<context>
    <name>EffectiveSettings</name>
    <message>
        <source>video</source>
        <translation>Video</translation>
    </message>
    <message>
        <source>emulator build</source>
        <translation>Emulator-Build</translation>
    </message>
    <message>
        <source>controllers</source>
        <translation>Controller</translation>
    </message>
    <message>
        <source>, </source>
        <translation>, </translation>
    </message>
    <message>
        <source>Started with its own video settings.</source>
        <translation>Mit eigenen Videoeinstellungen gestartet.</translation>
    </message>
    <message>
        <source>Started with its own emulator build.</source>
        <translation>Mit eigenem Emulator-Build gestartet.</translation>
    </message>
    <message>
        <source>Started with its own video settings and emulator build.</source>
        <translation>Mit eigenen Videoeinstellungen und eigenem Emulator-Build gestartet.</translation>
    </message>
    <message>
        <source>Started with its own controller settings.</source>
        <translation>Mit eigenen Controller-Einstellungen gestartet.</translation>
    </message>
    <message>
        <source>Started with its own video and controller settings.</source>
        <translation>Mit eigenen Video- und Controller-Einstellungen gestartet.</translation>
    </message>
    <message>
        <source>Started with its own emulator build and controller settings.</source>
        <translation>Mit eigenem Emulator-Build und eigenen Controller-Einstellungen gestartet.</translation>
    </message>
    <message>
        <source>Started with its own video, emulator and controller settings.</source>
        <translation>Mit eigenen Video-, Emulator- und Controller-Einstellungen gestartet.</translation>
    </message>
</context>
<context>
    <name>EmptyView</name>
    <message>
        <source>No ROM</source>
        <translation>Kein ROM</translation>
    </message>
    <message>
        <source>Drop a ROM image (.z64, .v64 or .n64) or a .zip or .7z archive of them here, or choose File ▸ Open…</source>
        <translation>Ziehen Sie ein ROM-Abbild (.z64, .v64 oder .n64) oder ein .zip- oder .7z-Archiv davon hierher, oder wählen Sie Datei ▸ Öffnen…</translation>
    </message>
    <message>
        <source>Drop a ROM image or a .zip or .7z archive of them here, or choose Open from the File menu</source>
        <translation>Ziehen Sie ein ROM-Abbild oder ein .zip- oder .7z-Archiv davon hierher, oder wählen Sie Öffnen im Menü Datei</translation>
    </message>
    <message>
        <source>Reading the ROM</source>
        <translation>Das ROM wird gelesen</translation>
    </message>
</context>
<context>
    <name>EmulatorOutputLog</name>
    <message>
        <source>The Launcher&apos;s standard error is not being read: the emulator&apos;s output is kept here but no longer passed on there until it is read again.</source>
        <translation>Die Standardfehlerausgabe des Launchers wird nicht gelesen: Die Ausgabe des Emulators wird hier aufbewahrt, aber dorthin erst wieder weitergegeben, wenn sie wieder gelesen wird.</translation>
    </message>
    <message>
        <source>The Launcher&apos;s standard output is not being read: the emulator&apos;s output is kept here but no longer passed on there until it is read again.</source>
        <translation>Die Standardausgabe des Launchers wird nicht gelesen: Die Ausgabe des Emulators wird hier aufbewahrt, aber dorthin erst wieder weitergegeben, wenn sie wieder gelesen wird.</translation>
    </message>
</context>
<context>
    <name>EmulatorOutputWindow</name>
    <message>
        <source>Emulator Output</source>
        <translation>Emulator-Ausgabe</translation>
    </message>
    <message>
        <source>Command</source>
        <translation>Befehl</translation>
    </message>
    <message>
        <source>The emulator has not been started yet.</source>
        <translation>Der Emulator wurde noch nicht gestartet.</translation>
    </message>
    <message>
        <source>Emulator output</source>
        <translation>Emulator-Ausgabe</translation>
    </message>
    <message>
        <source>&amp;Command:</source>
        <translation>&amp;Befehl:</translation>
    </message>
</context>
<context>
    <name>EmulatorPreferencesViewController</name>
    <message>
        <source>Default</source>
        <translation>Standard</translation>
    </message>
    <message>
        <source>Custom</source>
        <translation>Eigener</translation>
    </message>
    <message>
        <source>None installed. Put one in %1 for yourself, or in %2 for everyone.</source>
        <translation>Keiner installiert. Legen Sie einen für sich in %1 ab oder für alle in %2.</translation>
    </message>
    <message>
        <source>Yours, in %1</source>
        <translation>Ihrer, in %1</translation>
    </message>
    <message>
        <source>Installed with the Launcher, in %1</source>
        <translation>Mit dem Launcher installiert, in %1</translation>
    </message>
    <message>
        <source>Choose the Emulator Build</source>
        <translation>Emulator-Build wählen</translation>
    </message>
    <message>
        <source>Choose the emulator build</source>
        <translation>Den Emulator-Build wählen</translation>
    </message>
</context>
<context>
    <name>EmulatorPrefsView</name>
    <message>
        <source>Emulator &amp;build:</source>
        <translation>Emulator-&amp;Build:</translation>
    </message>
    <message>
        <source>Emulator build</source>
        <translation>Emulator-Build</translation>
    </message>
    <message>
        <source>&amp;Custom build:</source>
        <translation>&amp;Eigener Build:</translation>
    </message>
    <message>
        <source>Custom build path</source>
        <translation>Pfad des eigenen Builds</translation>
    </message>
    <message>
        <source>Click or press Enter to choose the emulator executable.</source>
        <translation>Klicken oder Eingabetaste drücken, um das Programm des Emulators zu wählen.</translation>
    </message>
    <message>
        <source>Click to choose the emulator executable</source>
        <translation>Zum Wählen des Emulators klicken</translation>
    </message>
    <message>
        <source>Default build in use:</source>
        <translation>Verwendeter Standard-Build:</translation>
    </message>
    <message>
        <source>Default build in use</source>
        <translation>Verwendeter Standard-Build</translation>
    </message>
</context>
<context>
    <name>EmulatorSupervisor</name>
    <message>
        <source>The emulator cannot be started: no emulator program is chosen.</source>
        <translation>Der Emulator kann nicht gestartet werden: Es ist kein Emulator-Programm gewählt.</translation>
    </message>
    <message>
        <source>The emulator cannot be started: %1 was not found.</source>
        <translation>Der Emulator kann nicht gestartet werden: %1 wurde nicht gefunden.</translation>
    </message>
    <message>
        <source>The emulator cannot be started: %1 is not a program that can be run.</source>
        <translation>Der Emulator kann nicht gestartet werden: %1 ist kein ausführbares Programm.</translation>
    </message>
    <message>
        <source>The emulator stopped.</source>
        <translation>Der Emulator wurde gestoppt.</translation>
    </message>
    <message>
        <source>The emulator crashed (%1).</source>
        <translation>Der Emulator ist abgestürzt (%1).</translation>
    </message>
    <message>
        <source>signal %1</source>
        <translation>Signal %1</translation>
    </message>
    <message>
        <source>The emulator quit.</source>
        <translation>Der Emulator wurde beendet.</translation>
    </message>
    <message>
        <source>The emulator could not be started because something %1 needs (its interpreter or a library) is missing.</source>
        <translation>Der Emulator konnte nicht gestartet werden, weil etwas fehlt, das %1 braucht (sein Interpreter oder eine Bibliothek).</translation>
    </message>
    <message>
        <source>The emulator could not be started: %1 was not found.</source>
        <translation>Der Emulator konnte nicht gestartet werden: %1 wurde nicht gefunden.</translation>
    </message>
    <message>
        <source>The emulator exited with status %1.</source>
        <translation>Der Emulator endete mit Status %1.</translation>
    </message>
</context>
<context>
    <name>EntryExtractor</name>
    <message>
        <source>The private folder for extracted games cannot be made: there is no private runtime folder.</source>
        <translation>Der private Ordner für entpackte Spiele kann nicht angelegt werden: Es gibt keinen privaten Laufzeitordner.</translation>
    </message>
    <message>
        <source>a file that is not a folder is in its place</source>
        <translation>an seiner Stelle liegt eine Datei, die kein Ordner ist</translation>
    </message>
    <message>
        <source>it belongs to another user</source>
        <translation>er gehört einem anderen Benutzer</translation>
    </message>
    <message>
        <source>other users can reach it</source>
        <translation>andere Benutzer können darauf zugreifen</translation>
    </message>
    <message>
        <source>The private folder for extracted games, %1, cannot be made: %2.</source>
        <translation>Der private Ordner für entpackte Spiele, %1, kann nicht angelegt werden: %2.</translation>
    </message>
    <message>
        <source>The game cannot be extracted: %1.</source>
        <translation>Das Spiel kann nicht entpackt werden: %1.</translation>
    </message>
    <message>
        <source>There is not enough free space in %1 to extract the game.</source>
        <translation>In %1 ist nicht genug Platz frei, um das Spiel zu entpacken.</translation>
    </message>
</context>
<context>
    <name>ErrorWinController</name>
    <message>
        <source>Cannot Open the File</source>
        <translation>Die Datei kann nicht geöffnet werden</translation>
    </message>
</context>
<context>
    <name>ErrorWindow</name>
    <message>
        <source>Cannot Open the File</source>
        <translation>Die Datei kann nicht geöffnet werden</translation>
    </message>
    <message>
        <source>Message</source>
        <translation>Meldung</translation>
    </message>
</context>
<context>
    <name>FileReplacer</name>
    <message>
        <source>the disk is full</source>
        <translation>der Datenträger ist voll</translation>
    </message>
    <message>
        <source>you may not write to the folder “%1”</source>
        <translation>Sie dürfen nicht in den Ordner „%1“ schreiben</translation>
    </message>
    <message>
        <source>the disk holding “%1” is read-only</source>
        <translation>der Datenträger mit „%1“ ist schreibgeschützt</translation>
    </message>
    <message>
        <source>the folder “%1” does not exist</source>
        <translation>den Ordner „%1“ gibt es nicht</translation>
    </message>
    <message>
        <source>the disk reported an error</source>
        <translation>der Datenträger meldete einen Fehler</translation>
    </message>
</context>
<context>
    <name>FolderWalker</name>
    <message>
        <source>The library folder “%1” cannot be read: %2.</source>
        <translation>Der Bibliotheksordner „%1“ kann nicht gelesen werden: %2.</translation>
    </message>
    <message>
        <source>The folder “%1” cannot be read, so its files are left out: %2.</source>
        <translation>Der Ordner „%1“ kann nicht gelesen werden, daher fehlen seine Dateien: %2.</translation>
    </message>
</context>
<context>
    <name>FolderWatcher</name>
    <message>
        <source>the limit on watched folders (fs.inotify.max_user_watches) is reached</source>
        <translation>die Höchstzahl überwachter Ordner (fs.inotify.max_user_watches) ist erreicht</translation>
    </message>
</context>
<context>
    <name>GameHistory</name>
    <message>
        <source>Today</source>
        <translation>Heute</translation>
    </message>
    <message>
        <source>Yesterday</source>
        <translation>Gestern</translation>
    </message>
    <message numerus="yes">
        <source>%n days ago</source>
        <translation>
            <numerusform>vor %n Tag</numerusform>
            <numerusform>vor %n Tagen</numerusform>
        </translation>
    </message>
    <message>
        <source>Less than a minute</source>
        <translation>Weniger als eine Minute</translation>
    </message>
    <message>
        <source>%1 min</source>
        <translation>%1 Min.</translation>
    </message>
    <message>
        <source>%1 h %2 min</source>
        <translation>%1 Std. %2 Min.</translation>
    </message>
</context>
<context>
    <name>GameLibrary</name>
    <message>
        <source>Looking for ROM images…</source>
        <translation>ROM-Abbilder werden gesucht…</translation>
    </message>
    <message>
        <source>Reading %1 of %2 (%3 from the cache)</source>
        <translation>Lese %1 von %2 (%3 aus dem Zwischenspeicher)</translation>
    </message>
    <message>
        <source>Scan cancelled: %1 read, %2 from the cache.</source>
        <translation>Suche abgebrochen: %1 gelesen, %2 aus dem Zwischenspeicher.</translation>
    </message>
    <message>
        <source>No ROM folder chosen. Add one from the File menu or Preferences.</source>
        <translation>Kein ROM-Ordner gewählt. Fügen Sie einen über das Menü Datei oder die Einstellungen hinzu.</translation>
    </message>
    <message>
        <source>No ROM images in the library folders.</source>
        <translation>Keine ROM-Abbilder in den Bibliotheksordnern.</translation>
    </message>
    <message>
        <source>The system lost track of some changes in the library folders (too many at once); all of them were read again.</source>
        <translation>Das System hat einige Änderungen in den Bibliotheksordnern verpasst (zu viele auf einmal); alle wurden neu gelesen.</translation>
    </message>
    <message numerus="yes">
        <source>%Ln file(s), all from the cache.</source>
        <translation>
            <numerusform>%Ln Datei, alle aus dem Zwischenspeicher.</numerusform>
            <numerusform>%Ln Dateien, alle aus dem Zwischenspeicher.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%Ln file(s): %1 read, %2 from the cache.</source>
        <translation>
            <numerusform>%Ln Datei: %1 gelesen, %2 aus dem Zwischenspeicher.</numerusform>
            <numerusform>%Ln Dateien: %1 gelesen, %2 aus dem Zwischenspeicher.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>GameSession</name>
    <message>
        <source>The emulator stopped.</source>
        <translation>Der Emulator wurde gestoppt.</translation>
    </message>
    <message>
        <source>The game started before the Launcher was closed has ended.</source>
        <translation>Das Spiel, das vor dem Schließen des Launchers gestartet wurde, ist beendet.</translation>
    </message>
    <message>
        <source>“%1” cannot be opened. %2</source>
        <translation>„%1“ kann nicht geöffnet werden. %2</translation>
    </message>
    <message>
        <source>The file could not be read.</source>
        <translation>Die Datei konnte nicht gelesen werden.</translation>
    </message>
    <message numerus="yes">
        <source>The archive holds %n ROM images; --play takes an archive with one (open it in the Launcher to choose).</source>
        <translation>
            <numerusform>Das Archiv enthält %n ROM-Abbild; --play nimmt ein Archiv mit genau einem (öffnen Sie es im Launcher, um zu wählen).</numerusform>
            <numerusform>Das Archiv enthält %n ROM-Abbilder; --play nimmt ein Archiv mit genau einem (öffnen Sie es im Launcher, um zu wählen).</numerusform>
        </translation>
    </message>
    <message>
        <source>An emulator is already running; it was left as it is.</source>
        <translation>Ein Emulator läuft bereits; er wurde nicht angetastet.</translation>
    </message>
    <message>
        <source>A game started before the Launcher was closed is still running.</source>
        <translation>Ein Spiel, das vor dem Schließen des Launchers gestartet wurde, läuft noch.</translation>
    </message>
    <message>
        <source>Stopping… The emulator has not ended yet; Force Stop ends it without letting it save.</source>
        <translation>Wird gestoppt… Der Emulator ist noch nicht beendet; „Sofort beenden“ beendet ihn, ohne ihn speichern zu lassen.</translation>
    </message>
    <message>
        <source>Stopping…</source>
        <translation>Wird gestoppt…</translation>
    </message>
    <message>
        <source>Paused %1</source>
        <translation>%1 pausiert</translation>
    </message>
    <message>
        <source>Running %1</source>
        <translation>%1 läuft</translation>
    </message>
    <message>
        <source>Running %1. %2</source>
        <translation>%1 läuft. %2</translation>
    </message>
    <message>
        <source>“%1” cannot be played.

%2</source>
        <translation>„%1“ kann nicht gespielt werden.

%2</translation>
    </message>
    <message>
        <source>The extraction was cancelled.</source>
        <translation>Das Entpacken wurde abgebrochen.</translation>
    </message>
</context>
<context>
    <name>GameSettingsCommands</name>
    <message>
        <source>Game Settings…</source>
        <translation>Spieleinstellungen…</translation>
    </message>
</context>
<context>
    <name>GameSettingsWindowController</name>
    <message>
        <source>Game Settings — %1</source>
        <translation>Spieleinstellungen – %1</translation>
    </message>
    <message>
        <source>Use the global setting</source>
        <translation>Globale Einstellung verwenden</translation>
    </message>
    <message>
        <source>Video</source>
        <translation>Video</translation>
    </message>
    <message>
        <source>The video plug-in, resolution and full screen of the Video preferences</source>
        <translation>Video-Plug-in, Auflösung und Vollbild aus den Video-Einstellungen</translation>
    </message>
    <message>
        <source>Emulator</source>
        <translation>Emulator</translation>
    </message>
    <message>
        <source>The emulator build of the Emulator preferences</source>
        <translation>Der Emulator-Build aus den Emulator-Einstellungen</translation>
    </message>
    <message>
        <source>Controllers</source>
        <translation>Controller</translation>
    </message>
    <message>
        <source>The controller mapping of the Controllers preferences</source>
        <translation>Die Controller-Belegung aus den Controller-Einstellungen</translation>
    </message>
    <message>
        <source>Discard This Game&apos;s Mapping?</source>
        <translation>Belegung dieses Spiels verwerfen?</translation>
    </message>
    <message>
        <source>This game&apos;s own controller mapping will be discarded, and the game will use the global mapping.</source>
        <translation>Die eigene Controller-Belegung dieses Spiels wird verworfen, und das Spiel verwendet die globale Belegung.</translation>
    </message>
    <message>
        <source>Discard</source>
        <translation>Verwerfen</translation>
    </message>
</context>
<context>
    <name>HelpWindow</name>
    <message>
        <source>Tolvane Launcher Help</source>
        <translation>Tolvane-Launcher-Hilfe</translation>
    </message>
    <message>
        <source>Guide</source>
        <translation>Anleitung</translation>
    </message>
    <message>
        <source>The guide is not installed.</source>
        <translation>Die Anleitung ist nicht installiert.</translation>
    </message>
</context>
<context>
    <name>LibraryCache</name>
    <message>
        <source>The library cache folder “%1” cannot be written</source>
        <translation>In den Ordner des Bibliothekszwischenspeichers „%1“ kann nicht geschrieben werden</translation>
    </message>
    <message>
        <source>The library cache is in use by another program</source>
        <translation>Der Bibliothekszwischenspeicher wird von einem anderen Programm benutzt</translation>
    </message>
    <message>
        <source>The disk holding the library cache is full</source>
        <translation>Der Datenträger mit dem Bibliothekszwischenspeicher ist voll</translation>
    </message>
    <message>
        <source>The library cache “%1” cannot be opened (%2)</source>
        <translation>Der Bibliothekszwischenspeicher „%1“ kann nicht geöffnet werden (%2)</translation>
    </message>
    <message>
        <source>The library cache “%1” cannot be written (%2); it is used as it is and not updated until the next start.</source>
        <translation>In den Bibliothekszwischenspeicher „%1“ kann nicht geschrieben werden (%2); er wird unverändert benutzt und erst beim nächsten Start aktualisiert.</translation>
    </message>
    <message>
        <source>The library cache “%1” cannot be written; it is used as it is and not updated.</source>
        <translation>In den Bibliothekszwischenspeicher „%1“ kann nicht geschrieben werden; er wird unverändert benutzt und nicht aktualisiert.</translation>
    </message>
    <message>
        <source>version %1, this Launcher uses %2</source>
        <translation>Version %1, dieser Launcher verwendet %2</translation>
    </message>
    <message>
        <source>The library cache could not be used (%1); it was set aside as “%2” and is being rebuilt.</source>
        <translation>Der Bibliothekszwischenspeicher war nicht verwendbar (%1); er wurde als „%2“ beiseitegelegt und wird neu aufgebaut.</translation>
    </message>
    <message>
        <source>The library cache “%1” cannot be used (%2)</source>
        <translation>Der Bibliothekszwischenspeicher „%1“ ist nicht verwendbar (%2)</translation>
    </message>
    <message>
        <source>%1; the library is kept in memory and read again at the next start.</source>
        <translation>%1; die Bibliothek wird im Speicher gehalten und beim nächsten Start neu gelesen.</translation>
    </message>
    <message>
        <source>%1; the library is not cached.</source>
        <translation>%1; die Bibliothek wird nicht zwischengespeichert.</translation>
    </message>
    <message>
        <source>%1; the library cache is kept as it is and not updated until the next start.</source>
        <translation>%1; der Bibliothekszwischenspeicher bleibt unverändert und wird erst beim nächsten Start aktualisiert.</translation>
    </message>
    <message>
        <source>The library cache is in use by another program; what was found is written at the next scan.</source>
        <translation>Der Bibliothekszwischenspeicher wird von einem anderen Programm benutzt; was gefunden wurde, wird bei der nächsten Suche geschrieben.</translation>
    </message>
    <message>
        <source>The library cache “%1” cannot be written (%2)</source>
        <translation>In den Bibliothekszwischenspeicher „%1“ kann nicht geschrieben werden (%2)</translation>
    </message>
    <message>
        <source>no connection</source>
        <translation>keine Verbindung</translation>
    </message>
</context>
<context>
    <name>LibraryController</name>
    <message>
        <source>ROM Library</source>
        <translation>ROM-Bibliothek</translation>
    </message>
    <message>
        <source>Rescan Library</source>
        <translation>Bibliothek neu durchsuchen</translation>
    </message>
    <message>
        <source>Search Library</source>
        <translation>Bibliothek durchsuchen</translation>
    </message>
    <message>
        <source>Add ROM Folder…</source>
        <translation>ROM-Ordner hinzufügen…</translation>
    </message>
    <message>
        <source>Favourite</source>
        <translation>Favorit</translation>
    </message>
    <message>
        <source>Play History</source>
        <translation>Spielverlauf</translation>
    </message>
    <message>
        <source>Covers Folder</source>
        <translation>Cover-Ordner</translation>
    </message>
    <message>
        <source>No covers folder is chosen. Keep covers in “%1”? You can choose another in Preferences ▸ Library.</source>
        <translation>Es ist kein Cover-Ordner gewählt. Cover in „%1“ aufbewahren? Einen anderen können Sie unter Einstellungen ▸ Bibliothek wählen.</translation>
    </message>
    <message>
        <source>Set Cover Image</source>
        <translation>Coverbild festlegen</translation>
    </message>
    <message>
        <source>Pictures (%1)</source>
        <translation>Bilder (%1)</translation>
    </message>
    <message>
        <source>&amp;Play</source>
        <translation>&amp;Spielen</translation>
    </message>
    <message>
        <source>&amp;Open</source>
        <translation>Ö&amp;ffnen</translation>
    </message>
    <message>
        <source>&amp;Game Settings…</source>
        <translation>Spiel&amp;einstellungen…</translation>
    </message>
    <message>
        <source>F&amp;avourite</source>
        <translation>F&amp;avorit</translation>
    </message>
    <message>
        <source>Set &amp;Cover Image…</source>
        <translation>&amp;Coverbild festlegen…</translation>
    </message>
    <message>
        <source>Show in &amp;Folder</source>
        <translation>Im &amp;Ordner zeigen</translation>
    </message>
    <message>
        <source>Copy Pa&amp;th</source>
        <translation>&amp;Pfad kopieren</translation>
    </message>
    <message>
        <source>Copy &amp;MD5</source>
        <translation>&amp;MD5 kopieren</translation>
    </message>
    <message>
        <source>Add ROM Folder</source>
        <translation>ROM-Ordner hinzufügen</translation>
    </message>
    <message>
        <source>&amp;Rename File to Its DAT Name…</source>
        <translation>Datei in ihren DAT-Namen &amp;umbenennen…</translation>
    </message>
    <message>
        <source>Rename File</source>
        <translation>Datei umbenennen</translation>
    </message>
    <message>
        <source>Rename “%1” to “%2”? Its history, settings and cover stay with it.</source>
        <translation>„%1“ in „%2“ umbenennen? Verlauf, Einstellungen und Cover der Datei bleiben erhalten.</translation>
    </message>
</context>
<context>
    <name>LibraryFilterNotice</name>
    <message>
        <source>No favourites yet: press Ctrl+D on a game.</source>
        <translation>Noch keine Favoriten: Drücken Sie Strg+D auf einem Spiel.</translation>
    </message>
    <message>
        <source>No favourite matches “%1”.</source>
        <translation>Kein Favorit passt zu „%1“.</translation>
    </message>
    <message>
        <source>No game matches “%1”.</source>
        <translation>Kein Spiel passt zu „%1“.</translation>
    </message>
    <message numerus="yes">
        <source>%1 Matches: %n.</source>
        <translation>
            <numerusform>%1 Treffer: %n.</numerusform>
            <numerusform>%1 Treffer: %n.</numerusform>
        </translation>
    </message>
    <message>
        <source>Choose ROM Folder…</source>
        <translation>ROM-Ordner wählen…</translation>
    </message>
    <message>
        <source>Covers Folder…</source>
        <translation>Cover-Ordner…</translation>
    </message>
    <message>
        <source>Opens Preferences ▸ Library, where the covers folder is set.</source>
        <translation>Öffnet Einstellungen ▸ Bibliothek, wo der Cover-Ordner festgelegt wird.</translation>
    </message>
    <message>
        <source>No ROM folder is chosen yet. Choose one, and every ROM image in it and in its subfolders is listed here.</source>
        <translation>Noch ist kein ROM-Ordner gewählt. Wählen Sie einen, und jedes ROM-Abbild darin und in seinen Unterordnern wird hier aufgeführt.</translation>
    </message>
    <message>
        <source>Covers are pictures of your own: put them in a covers folder, named after each game&apos;s MD5, game code, internal name or file name, or beside each ROM under its file name.</source>
        <translation>Cover sind Ihre eigenen Bilder: Legen Sie sie in einen Cover-Ordner, benannt nach MD5, Spielcode, internem Namen oder Dateinamen des Spiels, oder unter dem Dateinamen neben jedes ROM.</translation>
    </message>
</context>
<context>
    <name>LibraryGridView</name>
    <message>
        <source>%1, %2</source>
        <translation>%1, %2</translation>
    </message>
    <message>
        <source>%1, never played.</source>
        <translation>%1, nie gespielt.</translation>
    </message>
    <message>
        <source>%1, last played %2.</source>
        <translation>%1, zuletzt gespielt: %2.</translation>
    </message>
    <message>
        <source>Play</source>
        <translation>Spielen</translation>
    </message>
    <message>
        <source>ROM library covers</source>
        <translation>Cover der ROM-Bibliothek</translation>
    </message>
</context>
<context>
    <name>LibraryModel</name>
    <message>
        <source>Not available: the folder “%1” cannot be reached.</source>
        <translation>Nicht verfügbar: Der Ordner „%1“ ist nicht erreichbar.</translation>
    </message>
    <message>
        <source>Favourite</source>
        <translation>Favorit</translation>
    </message>
    <message>
        <source>Not a favourite</source>
        <translation>Kein Favorit</translation>
    </message>
    <message>
        <source>%1, uses its own settings: %2</source>
        <translation>%1, verwendet eigene Einstellungen: %2</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>File Name</source>
        <translation>Dateiname</translation>
    </message>
    <message>
        <source>Game Code</source>
        <translation>Spielcode</translation>
    </message>
    <message>
        <source>Region</source>
        <translation>Region</translation>
    </message>
    <message>
        <source>CIC</source>
        <translation>CIC</translation>
    </message>
    <message>
        <source>Size</source>
        <translation>Größe</translation>
    </message>
    <message>
        <source>Byte Order</source>
        <translation>Bytereihenfolge</translation>
    </message>
    <message>
        <source>MD5</source>
        <translation>MD5</translation>
    </message>
    <message>
        <source>Own settings</source>
        <translation>Eigene Einstellungen</translation>
    </message>
    <message>
        <source>Last played</source>
        <translation>Zuletzt gespielt</translation>
    </message>
    <message>
        <source>Play time</source>
        <translation>Spielzeit</translation>
    </message>
    <message numerus="yes">
        <source>%n copies</source>
        <translation>
            <numerusform>%n Kopie</numerusform>
            <numerusform>%n Kopien</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1, %n copies</source>
        <translation>
            <numerusform>%1, %n Kopie</numerusform>
            <numerusform>%1, %n Kopien</numerusform>
        </translation>
    </message>
    <message>
        <source>Dump</source>
        <translation>Dump</translation>
    </message>
</context>
<context>
    <name>LibraryPanel</name>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Show as Grid</source>
        <translation>Als Raster zeigen</translation>
    </message>
    <message>
        <source>Show as List</source>
        <translation>Als Liste zeigen</translation>
    </message>
    <message>
        <source>Larger Covers</source>
        <translation>Größere Cover</translation>
    </message>
    <message>
        <source>Smaller Covers</source>
        <translation>Kleinere Cover</translation>
    </message>
    <message>
        <source>Search name, file, game code or region</source>
        <translation>Name, Datei, Spielcode oder Region suchen</translation>
    </message>
    <message>
        <source>Search library</source>
        <translation>Bibliothek durchsuchen</translation>
    </message>
    <message>
        <source>Clear search</source>
        <translation>Suche leeren</translation>
    </message>
    <message>
        <source>Favourites</source>
        <translation>Favoriten</translation>
    </message>
    <message>
        <source>Show only your favourite games</source>
        <translation>Nur Ihre Lieblingsspiele zeigen</translation>
    </message>
    <message>
        <source>ROM library</source>
        <translation>ROM-Bibliothek</translation>
    </message>
    <message>
        <source>Library scan progress</source>
        <translation>Fortschritt der Bibliothekssuche</translation>
    </message>
    <message>
        <source>Stops reading the library folders; what was read is kept</source>
        <translation>Beendet das Lesen der Bibliotheksordner; was gelesen wurde, bleibt erhalten</translation>
    </message>
    <message>
        <source>Sort &amp;by:</source>
        <translation>So&amp;rtieren nach:</translation>
    </message>
    <message>
        <source>Sort by</source>
        <translation>Sortieren nach</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>Recently played</source>
        <translation>Zuletzt gespielt</translation>
    </message>
    <message>
        <source>Play time</source>
        <translation>Spielzeit</translation>
    </message>
    <message>
        <source>Cover size</source>
        <translation>Covergröße</translation>
    </message>
    <message>
        <source>All</source>
        <translation>Alle</translation>
    </message>
    <message>
        <source>Verified</source>
        <translation>Verifiziert</translation>
    </message>
    <message>
        <source>Not verified</source>
        <translation>Nicht verifiziert</translation>
    </message>
    <message>
        <source>Duplicates</source>
        <translation>Duplikate</translation>
    </message>
    <message>
        <source>Show by dump</source>
        <translation>Nach Dump zeigen</translation>
    </message>
    <message>
        <source>Show games by what your DAT files say of them, or the games kept in more than one file</source>
        <translation>Spiele danach zeigen, was Ihre DAT-Dateien über sie sagen, oder die Spiele, die in mehr als einer Datei liegen</translation>
    </message>
</context>
<context>
    <name>LibraryPreferencesViewController</name>
    <message>
        <source>ROM &amp;folders listed in the library, with every folder inside them:</source>
        <translation>ROM-&amp;Ordner, die in der Bibliothek aufgeführt werden, mit allen Ordnern darin:</translation>
    </message>
    <message>
        <source>ROM folders</source>
        <translation>ROM-Ordner</translation>
    </message>
    <message>
        <source>&amp;Add…</source>
        <translation>&amp;Hinzufügen…</translation>
    </message>
    <message>
        <source>&amp;Remove</source>
        <translation>&amp;Entfernen</translation>
    </message>
    <message>
        <source>Add ROM folder</source>
        <translation>ROM-Ordner hinzufügen</translation>
    </message>
    <message>
        <source>Remove ROM folder</source>
        <translation>ROM-Ordner entfernen</translation>
    </message>
    <message>
        <source>&amp;Covers folder (pictures named after a game&apos;s MD5, game code, name or file):</source>
        <translation>&amp;Cover-Ordner (Bilder benannt nach MD5, Spielcode, Name oder Datei eines Spiels):</translation>
    </message>
    <message>
        <source>Covers folder</source>
        <translation>Cover-Ordner</translation>
    </message>
    <message>
        <source>None</source>
        <translation>Keiner</translation>
    </message>
    <message>
        <source>C&amp;hoose…</source>
        <translation>&amp;Wählen…</translation>
    </message>
    <message>
        <source>Choose covers folder</source>
        <translation>Cover-Ordner wählen</translation>
    </message>
    <message>
        <source>Choose Covers Folder</source>
        <translation>Cover-Ordner wählen</translation>
    </message>
    <message>
        <source>Add ROM Folder</source>
        <translation>ROM-Ordner hinzufügen</translation>
    </message>
    <message>
        <source>&amp;DAT files that identify your games (lists of known dumps, XML or clrmamepro text):</source>
        <translation>&amp;DAT-Dateien, die Ihre Spiele erkennen (Listen bekannter Dumps, XML oder clrmamepro-Text):</translation>
    </message>
    <message>
        <source>DAT files</source>
        <translation>DAT-Dateien</translation>
    </message>
    <message>
        <source>Add…</source>
        <translation>Hinzufügen…</translation>
    </message>
    <message>
        <source>Add DAT file</source>
        <translation>DAT-Datei hinzufügen</translation>
    </message>
    <message>
        <source>Remove</source>
        <translation>Entfernen</translation>
    </message>
    <message>
        <source>Remove DAT file</source>
        <translation>DAT-Datei entfernen</translation>
    </message>
    <message>
        <source>Add DAT File</source>
        <translation>DAT-Datei hinzufügen</translation>
    </message>
    <message>
        <source>DAT files (*.dat *.xml *.zip)</source>
        <translation>DAT-Dateien (*.dat *.xml *.zip)</translation>
    </message>
    <message>
        <source>All files (*)</source>
        <translation>Alle Dateien (*)</translation>
    </message>
</context>
<context>
    <name>LibraryRecord</name>
    <message>
        <source>Asia</source>
        <translation>Asien</translation>
    </message>
    <message>
        <source>Brazil</source>
        <translation>Brasilien</translation>
    </message>
    <message>
        <source>China</source>
        <translation>China</translation>
    </message>
    <message>
        <source>Germany</source>
        <translation>Deutschland</translation>
    </message>
    <message>
        <source>North America</source>
        <translation>Nordamerika</translation>
    </message>
    <message>
        <source>France</source>
        <translation>Frankreich</translation>
    </message>
    <message>
        <source>Gateway (NTSC)</source>
        <translation>Gateway (NTSC)</translation>
    </message>
    <message>
        <source>Netherlands</source>
        <translation>Niederlande</translation>
    </message>
    <message>
        <source>Italy</source>
        <translation>Italien</translation>
    </message>
    <message>
        <source>Japan</source>
        <translation>Japan</translation>
    </message>
    <message>
        <source>Korea</source>
        <translation>Korea</translation>
    </message>
    <message>
        <source>Gateway (PAL)</source>
        <translation>Gateway (PAL)</translation>
    </message>
    <message>
        <source>Canada</source>
        <translation>Kanada</translation>
    </message>
    <message>
        <source>Europe</source>
        <translation>Europa</translation>
    </message>
    <message>
        <source>Spain</source>
        <translation>Spanien</translation>
    </message>
    <message>
        <source>Australia</source>
        <translation>Australien</translation>
    </message>
    <message>
        <source>Scandinavia</source>
        <translation>Skandinavien</translation>
    </message>
</context>
<context>
    <name>LibraryScanner</name>
    <message numerus="yes">
        <source>%n folder(s), “%1” among them, cannot be watched for changes (%2); use Rescan Library (F5) after changing files there.</source>
        <translation>
            <numerusform>%n Ordner, darunter „%1“, kann nicht auf Änderungen überwacht werden (%2); nutzen Sie „Bibliothek neu durchsuchen“ (F5), nachdem Sie dort Dateien geändert haben.</numerusform>
            <numerusform>%n Ordner, darunter „%1“, können nicht auf Änderungen überwacht werden (%2); nutzen Sie „Bibliothek neu durchsuchen“ (F5), nachdem Sie dort Dateien geändert haben.</numerusform>
        </translation>
    </message>
    <message>
        <source>Nothing is mounted on “%1” now; the files found there before are kept as not available.</source>
        <translation>Auf „%1“ ist jetzt nichts eingehängt; die dort zuvor gefundenen Dateien bleiben als nicht verfügbar erhalten.</translation>
    </message>
    <message numerus="yes">
        <source>Files that went away while they were read (a drive removed?): %n. They are kept as not available and read when they are back.</source>
        <translation>
            <numerusform>Dateien, die beim Lesen verschwanden (ein Laufwerk entfernt?): %n. Sie bleiben als nicht verfügbar erhalten und werden gelesen, sobald sie zurück sind.</numerusform>
            <numerusform>Dateien, die beim Lesen verschwanden (ein Laufwerk entfernt?): %n. Sie bleiben als nicht verfügbar erhalten und werden gelesen, sobald sie zurück sind.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>MainMenu</name>
    <message>
        <source>Open…</source>
        <translation>Öffnen…</translation>
    </message>
    <message>
        <source>Close Window</source>
        <translation>Fenster schließen</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>Beenden</translation>
    </message>
    <message>
        <source>Preferences…</source>
        <translation>Einstellungen…</translation>
    </message>
    <message>
        <source>Tolvane Launcher Help</source>
        <translation>Tolvane-Launcher-Hilfe</translation>
    </message>
    <message>
        <source>Tolvane Launcher</source>
        <translation>Tolvane Launcher</translation>
    </message>
    <message>
        <source>Emulator Output</source>
        <translation>Emulator-Ausgabe</translation>
    </message>
    <message>
        <source>Menu bar</source>
        <translation>Menüleiste</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Datei</translation>
    </message>
    <message>
        <source>Open Recent</source>
        <translation>Zuletzt geöffnet</translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation>&amp;Bearbeiten</translation>
    </message>
    <message>
        <source>&amp;View</source>
        <translation>&amp;Ansicht</translation>
    </message>
    <message>
        <source>E&amp;mulation</source>
        <translation>E&amp;mulation</translation>
    </message>
    <message>
        <source>&amp;Window</source>
        <translation>&amp;Fenster</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Hilfe</translation>
    </message>
    <message>
        <source>Clear Menu</source>
        <translation>Menü leeren</translation>
    </message>
    <message>
        <source>Preferences</source>
        <translation>Einstellungen</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>Tolvane Launcher</source>
        <translation>Tolvane Launcher</translation>
    </message>
    <message>
        <source>ROM</source>
        <translation>ROM</translation>
    </message>
    <message>
        <source>Emulation</source>
        <translation>Emulation</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>Status</translation>
    </message>
    <message>
        <source>Play</source>
        <translation>Spielen</translation>
    </message>
    <message>
        <source>Start the emulator, or resume it</source>
        <translation>Den Emulator starten oder fortsetzen</translation>
    </message>
    <message>
        <source>Ctrl+R</source>
        <translation>Ctrl+R</translation>
    </message>
    <message>
        <source>Pause</source>
        <translation>Pause</translation>
    </message>
    <message>
        <source>Pause the emulator</source>
        <translation>Den Emulator anhalten</translation>
    </message>
    <message>
        <source>Ctrl+P</source>
        <translation>Ctrl+P</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>Stopp</translation>
    </message>
    <message>
        <source>Stop the emulator</source>
        <translation>Den Emulator stoppen</translation>
    </message>
    <message>
        <source>Ctrl+.</source>
        <translation>Ctrl+.</translation>
    </message>
    <message>
        <source>Eject</source>
        <translation>Auswerfen</translation>
    </message>
    <message>
        <source>Close the ROM and stop the emulator</source>
        <translation>Das ROM schließen und den Emulator stoppen</translation>
    </message>
    <message>
        <source>Ctrl+E</source>
        <translation>Ctrl+E</translation>
    </message>
</context>
<context>
    <name>MappingTableModel</name>
    <message>
        <source>Nintendo 64</source>
        <translation>Nintendo 64</translation>
    </message>
    <message>
        <source>Your input</source>
        <translation>Ihre Eingabe</translation>
    </message>
    <message>
        <source>%1 (%2)</source>
        <translation>%1 (%2)</translation>
    </message>
</context>
<context>
    <name>MappingValue</name>
    <message>
        <source>Backspace</source>
        <translation>Rücktaste</translation>
    </message>
    <message>
        <source>Tab</source>
        <translation>Tab</translation>
    </message>
    <message>
        <source>Return</source>
        <translation>Eingabe</translation>
    </message>
    <message>
        <source>Escape</source>
        <translation>Esc</translation>
    </message>
    <message>
        <source>Space</source>
        <translation>Leertaste</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Entf</translation>
    </message>
    <message>
        <source>Keypad Enter</source>
        <translation>Ziffernblock Enter</translation>
    </message>
    <message>
        <source>Up</source>
        <translation>Pfeil hoch</translation>
    </message>
    <message>
        <source>Down</source>
        <translation>Pfeil runter</translation>
    </message>
    <message>
        <source>Right</source>
        <translation>Pfeil rechts</translation>
    </message>
    <message>
        <source>Left</source>
        <translation>Pfeil links</translation>
    </message>
    <message>
        <source>Insert</source>
        <translation>Einfg</translation>
    </message>
    <message>
        <source>Home</source>
        <translation>Pos1</translation>
    </message>
    <message>
        <source>End</source>
        <translation>Ende</translation>
    </message>
    <message>
        <source>Page Up</source>
        <translation>Bild auf</translation>
    </message>
    <message>
        <source>Page Down</source>
        <translation>Bild ab</translation>
    </message>
    <message>
        <source>Num Lock</source>
        <translation>Num</translation>
    </message>
    <message>
        <source>Caps Lock</source>
        <translation>Feststelltaste</translation>
    </message>
    <message>
        <source>Scroll Lock</source>
        <translation>Rollen</translation>
    </message>
    <message>
        <source>Right Shift</source>
        <translation>Umschalt rechts</translation>
    </message>
    <message>
        <source>Left Shift</source>
        <translation>Umschalt links</translation>
    </message>
    <message>
        <source>Right Ctrl</source>
        <translation>Strg rechts</translation>
    </message>
    <message>
        <source>Left Ctrl</source>
        <translation>Strg links</translation>
    </message>
    <message>
        <source>Right Alt</source>
        <translation>Alt rechts</translation>
    </message>
    <message>
        <source>Left Alt</source>
        <translation>Alt links</translation>
    </message>
    <message>
        <source>Right Meta</source>
        <translation>Meta rechts</translation>
    </message>
    <message>
        <source>Left Meta</source>
        <translation>Meta links</translation>
    </message>
    <message>
        <source>Left Super</source>
        <translation>Super links</translation>
    </message>
    <message>
        <source>Right Super</source>
        <translation>Super rechts</translation>
    </message>
    <message>
        <source>Alt Gr</source>
        <translation>Alt Gr</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>Hilfe</translation>
    </message>
    <message>
        <source>Print</source>
        <translation>Druck</translation>
    </message>
    <message>
        <source>SysRq</source>
        <translation>S-Abf</translation>
    </message>
    <message>
        <source>Break</source>
        <translation>Pause</translation>
    </message>
    <message>
        <source>Menu</source>
        <translation>Menü</translation>
    </message>
    <message>
        <source>Keypad .</source>
        <translation>Ziffernblock ,</translation>
    </message>
    <message>
        <source>Keypad %1</source>
        <translation>Ziffernblock %1</translation>
    </message>
    <message>
        <source>Key %1</source>
        <translation>Taste %1</translation>
    </message>
    <message>
        <source>Button %1</source>
        <translation>Knopf %1</translation>
    </message>
    <message>
        <source>Axis %1 %2</source>
        <translation>Achse %1 %2</translation>
    </message>
</context>
<context>
    <name>OutputRelay</name>
    <message numerus="yes">
        <source>tolvane-launcher: %n byte(s) of output were dropped here while this stream was blocked.</source>
        <translation>
            <numerusform>tolvane-launcher: %n Byte der Ausgabe wurde hier verworfen, solange dieser Datenstrom blockiert war.</numerusform>
            <numerusform>tolvane-launcher: %n Bytes der Ausgabe wurden hier verworfen, solange dieser Datenstrom blockiert war.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>PadStopGroup</name>
    <message>
        <source>Stop the game by &amp;holding:</source>
        <translation>Spiel beenden durch &amp;Halten von:</translation>
    </message>
    <message>
        <source>Back + Start</source>
        <translation>Back + Start</translation>
    </message>
    <message>
        <source>L + R + Start</source>
        <translation>L + R + Start</translation>
    </message>
    <message>
        <source>Never</source>
        <translation>Nie</translation>
    </message>
    <message>
        <source>Stop the game by holding</source>
        <translation>Spiel beenden durch Halten von</translation>
    </message>
    <message>
        <source>The pad buttons that, held together while a game runs, stop it as Stop does.</source>
        <translation>Die Pad-Tasten, die, gemeinsam gehalten während ein Spiel läuft, es beenden wie Stopp.</translation>
    </message>
    <message numerus="yes">
        <source>%n s</source>
        <comment>hold time in seconds</comment>
        <translation>
            <numerusform>%n s</numerusform>
            <numerusform>%n s</numerusform>
        </translation>
    </message>
    <message>
        <source>Hold time</source>
        <translation>Haltezeit</translation>
    </message>
</context>
<context>
    <name>PlayHistory</name>
    <message>
        <source>Your play history cannot be kept: the folder “%1” cannot be written. What you play now is remembered until you quit.</source>
        <translation>Ihr Spielverlauf kann nicht gespeichert werden: In den Ordner „%1“ kann nicht geschrieben werden. Was Sie jetzt spielen, wird bis zum Beenden gemerkt.</translation>
    </message>
    <message>
        <source>its folder cannot be written</source>
        <translation>in seinen Ordner kann nicht geschrieben werden</translation>
    </message>
    <message>
        <source>Your play history cannot be saved (%1). It is kept as it was; what you play now is remembered until you quit.</source>
        <translation>Ihr Spielverlauf kann nicht gespeichert werden (%1). Er bleibt, wie er war; was Sie jetzt spielen, wird bis zum Beenden gemerkt.</translation>
    </message>
    <message>
        <source>Your play history “%1” cannot be used (%2). It is left as it is; what you play now is remembered until you quit.</source>
        <translation>Ihr Spielverlauf „%1“ ist nicht verwendbar (%2). Er bleibt unverändert; was Sie jetzt spielen, wird bis zum Beenden gemerkt.</translation>
    </message>
    <message>
        <source>it was written by a newer Launcher</source>
        <translation>er wurde von einem neueren Launcher geschrieben</translation>
    </message>
    <message>
        <source>Your play history could not be read (%1). The file was renamed to “%2” and a new history was started.</source>
        <translation>Ihr Spielverlauf konnte nicht gelesen werden (%1). Die Datei wurde in „%2“ umbenannt und ein neuer Verlauf begonnen.</translation>
    </message>
    <message numerus="yes">
        <source>Your play history could not be read whole (%1). The file was renamed to “%2”; the %n game(s) that could be read are in a new history.</source>
        <translation>
            <numerusform>Ihr Spielverlauf konnte nicht vollständig gelesen werden (%1). Die Datei wurde in „%2“ umbenannt; das %n lesbare Spiel steht in einem neuen Verlauf.</numerusform>
            <numerusform>Ihr Spielverlauf konnte nicht vollständig gelesen werden (%1). Die Datei wurde in „%2“ umbenannt; die %n lesbaren Spiele stehen in einem neuen Verlauf.</numerusform>
        </translation>
    </message>
    <message>
        <source>Your play history “%1” could not be read (%2), nor set aside. What you play now is not saved.</source>
        <translation>Ihr Spielverlauf „%1“ konnte weder gelesen (%2) noch beiseitegelegt werden. Was Sie jetzt spielen, wird nicht gespeichert.</translation>
    </message>
    <message>
        <source>Your play history cannot be saved: the disk is full. It is kept as it was; what you play now is remembered until you quit.</source>
        <translation>Ihr Spielverlauf kann nicht gespeichert werden: Der Datenträger ist voll. Er bleibt, wie er war; was Sie jetzt spielen, wird bis zum Beenden gemerkt.</translation>
    </message>
</context>
<context>
    <name>PreferenceWindow</name>
    <message>
        <source>Preferences</source>
        <translation>Einstellungen</translation>
    </message>
    <message>
        <source>Preference pane</source>
        <translation>Einstellungsseite</translation>
    </message>
    <message>
        <source>Preference panes</source>
        <translation>Einstellungsseiten</translation>
    </message>
    <message>
        <source>Video</source>
        <translation>Video</translation>
    </message>
    <message>
        <source>Ctrl+1</source>
        <translation>Ctrl+1</translation>
    </message>
    <message>
        <source>Controllers</source>
        <translation>Controller</translation>
    </message>
    <message>
        <source>Ctrl+2</source>
        <translation>Ctrl+2</translation>
    </message>
    <message>
        <source>Emulator</source>
        <translation>Emulator</translation>
    </message>
    <message>
        <source>Ctrl+3</source>
        <translation>Ctrl+3</translation>
    </message>
</context>
<context>
    <name>PrefrenceWindowController</name>
    <message>
        <source>Library</source>
        <translation>Bibliothek</translation>
    </message>
</context>
<context>
    <name>ROM</name>
    <message>
        <source>Only files on this computer can be opened.</source>
        <translation>Nur Dateien auf diesem Rechner können geöffnet werden.</translation>
    </message>
    <message>
        <source>The file does not exist.</source>
        <translation>Die Datei gibt es nicht.</translation>
    </message>
    <message>
        <source>It is a folder, not a ROM image.</source>
        <translation>Das ist ein Ordner, kein ROM-Abbild.</translation>
    </message>
    <message>
        <source>It is a named pipe, not a regular file.</source>
        <translation>Das ist eine benannte Pipe, keine reguläre Datei.</translation>
    </message>
    <message>
        <source>It is a character device, not a regular file.</source>
        <translation>Das ist ein zeichenorientiertes Gerät, keine reguläre Datei.</translation>
    </message>
    <message>
        <source>It is a block device, not a regular file.</source>
        <translation>Das ist ein blockorientiertes Gerät, keine reguläre Datei.</translation>
    </message>
    <message>
        <source>It is a socket, not a regular file.</source>
        <translation>Das ist ein Socket, keine reguläre Datei.</translation>
    </message>
    <message>
        <source>The file cannot be read: %1.</source>
        <translation>Die Datei kann nicht gelesen werden: %1.</translation>
    </message>
    <message>
        <source>The file is empty.</source>
        <translation>Die Datei ist leer.</translation>
    </message>
    <message>
        <source>The file is too large for a ROM image (2 GiB or more).</source>
        <translation>Die Datei ist zu groß für ein ROM-Abbild (2 GiB oder mehr).</translation>
    </message>
    <message>
        <source>The file could not be read: %1.</source>
        <translation>Die Datei konnte nicht gelesen werden: %1.</translation>
    </message>
    <message>
        <source>The archive is damaged or truncated, or it is not a .zip or .7z archive.</source>
        <translation>Das Archiv ist beschädigt oder unvollständig, oder es ist kein .zip- oder .7z-Archiv.</translation>
    </message>
    <message>
        <source>The archive is encrypted.</source>
        <translation>Das Archiv ist verschlüsselt.</translation>
    </message>
    <message>
        <source>There is no ROM image inside the archive.</source>
        <translation>Im Archiv ist kein ROM-Abbild.</translation>
    </message>
    <message>
        <source>The archive holds too many entries to be read.</source>
        <translation>Das Archiv enthält zu viele Einträge, um gelesen zu werden.</translation>
    </message>
    <message>
        <source>“%1” is encrypted.</source>
        <translation>„%1“ ist verschlüsselt.</translation>
    </message>
    <message>
        <source>“%1” is damaged in the archive (bad checksum or size).</source>
        <translation>„%1“ ist im Archiv beschädigt (falsche Prüfsumme oder Größe).</translation>
    </message>
    <message>
        <source>The archive entry&apos;s name is not safe to use (empty, with control characters, or a path that leaves its folder).</source>
        <translation>Der Name des Archiveintrags ist nicht sicher verwendbar (leer, mit Steuerzeichen oder ein Pfad, der seinen Ordner verlässt).</translation>
    </message>
    <message>
        <source>The archive no longer holds “%1”.</source>
        <translation>Das Archiv enthält „%1“ nicht mehr.</translation>
    </message>
    <message>
        <source>“%1” is larger than the largest cartridge (64 MiB).</source>
        <translation>„%1“ ist größer als das größte Modul (64 MiB).</translation>
    </message>
    <message>
        <source>The archive&apos;s entries overlap one another, so it would unpack far more than it holds; it is not read.</source>
        <translation>Die Einträge des Archivs überlappen einander, sodass es weit mehr entpacken würde, als es enthält; es wird nicht gelesen.</translation>
    </message>
    <message>
        <source>The archive unpacks to far more than ROM images of its size would; it is not read further.</source>
        <translation>Das Archiv entpackt weit mehr, als ROM-Abbilder seiner Größe ergäben; es wird nicht weiter gelesen.</translation>
    </message>
    <message>
        <source>“%1” is an archive inside the archive; archives inside archives are not read.</source>
        <translation>„%1“ ist ein Archiv im Archiv; Archive in Archiven werden nicht gelesen.</translation>
    </message>
    <message>
        <source>It is a .zip or .7z archive, not a ROM image.</source>
        <translation>Das ist ein .zip- oder .7z-Archiv, kein ROM-Abbild.</translation>
    </message>
    <message numerus="yes">
        <source>The file is only %Ln byte(s) long; a ROM image has at least %1 bytes.</source>
        <translation>
            <numerusform>Die Datei ist nur %Ln Byte lang; ein ROM-Abbild hat mindestens %1 Bytes.</numerusform>
            <numerusform>Die Datei ist nur %Ln Bytes lang; ein ROM-Abbild hat mindestens %1 Bytes.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>ROMView</name>
    <message>
        <source>ROM information</source>
        <translation>ROM-Informationen</translation>
    </message>
    <message>
        <source>&amp;Name:</source>
        <translation>&amp;Name:</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>&amp;Game code:</source>
        <translation>&amp;Spielcode:</translation>
    </message>
    <message>
        <source>Game code</source>
        <translation>Spielcode</translation>
    </message>
    <message>
        <source>&amp;Checksums:</source>
        <translation>Pr&amp;üfsummen:</translation>
    </message>
    <message>
        <source>Checksums</source>
        <translation>Prüfsummen</translation>
    </message>
    <message>
        <source>MD5</source>
        <translation>MD5</translation>
    </message>
    <message>
        <source>&amp;Path:</source>
        <translation>&amp;Pfad:</translation>
    </message>
    <message>
        <source>Path</source>
        <translation>Pfad</translation>
    </message>
    <message>
        <source>Si&amp;ze:</source>
        <translation>&amp;Größe:</translation>
    </message>
    <message>
        <source>Size</source>
        <translation>Größe</translation>
    </message>
    <message>
        <source>Byte order</source>
        <translation>Bytereihenfolge</translation>
    </message>
    <message>
        <source>C&amp;IC:</source>
        <translation>C&amp;IC:</translation>
    </message>
    <message>
        <source>CIC</source>
        <translation>CIC</translation>
    </message>
    <message>
        <source>M&amp;D5:</source>
        <translation>MD&amp;5:</translation>
    </message>
    <message>
        <source>B&amp;yte order:</source>
        <translation>B&amp;ytereihenfolge:</translation>
    </message>
</context>
<context>
    <name>ROMViewController</name>
    <message>
        <source>Cover</source>
        <translation>Cover</translation>
    </message>
    <message>
        <source>Last played:</source>
        <translation>Zuletzt gespielt:</translation>
    </message>
    <message>
        <source>Last played</source>
        <translation>Zuletzt gespielt</translation>
    </message>
    <message>
        <source>Play time:</source>
        <translation>Spielzeit:</translation>
    </message>
    <message>
        <source>Play time</source>
        <translation>Spielzeit</translation>
    </message>
    <message>
        <source>Game Settings…</source>
        <translation>Spieleinstellungen…</translation>
    </message>
    <message>
        <source>Uses its own settings: %1</source>
        <translation>Verwendet eigene Einstellungen: %1</translation>
    </message>
    <message>
        <source>Never</source>
        <translation>Nie</translation>
    </message>
    <message>
        <source>None</source>
        <translation>Keine</translation>
    </message>
    <message>
        <source>z64 (big-endian)</source>
        <translation>z64 (Big-Endian)</translation>
    </message>
    <message>
        <source>v64 (byte-swapped)</source>
        <translation>v64 (Bytes vertauscht)</translation>
    </message>
    <message>
        <source>n64 (little-endian)</source>
        <translation>n64 (Little-Endian)</translation>
    </message>
    <message numerus="yes">
        <source>%1 (%Ln byte(s))</source>
        <translation>
            <numerusform>%1 (%Ln Byte)</numerusform>
            <numerusform>%1 (%Ln Bytes)</numerusform>
        </translation>
    </message>
    <message>
        <source>Title:</source>
        <translation>Titel:</translation>
    </message>
    <message>
        <source>Title</source>
        <translation>Titel</translation>
    </message>
    <message>
        <source>Region:</source>
        <translation>Region:</translation>
    </message>
    <message>
        <source>Region</source>
        <translation>Region</translation>
    </message>
    <message>
        <source>Languages:</source>
        <translation>Sprachen:</translation>
    </message>
    <message>
        <source>Languages</source>
        <translation>Sprachen</translation>
    </message>
    <message>
        <source>Revision:</source>
        <translation>Revision:</translation>
    </message>
    <message>
        <source>Revision</source>
        <translation>Revision</translation>
    </message>
</context>
<context>
    <name>RomInfoTool</name>
    <message>
        <source>tolvane-rominfo: unknown option %1</source>
        <translation>tolvane-rominfo: unbekannte Option %1</translation>
    </message>
    <message>
        <source>tolvane-rominfo: --jobs takes a number from 1 to 256</source>
        <translation>tolvane-rominfo: --jobs nimmt eine Zahl von 1 bis 256</translation>
    </message>
    <message>
        <source>tolvane-rominfo: %1: not read as a ROM image: %2</source>
        <translation>tolvane-rominfo: %1: nicht als ROM-Abbild gelesen: %2</translation>
    </message>
    <message>
        <source>File:       %1
</source>
        <translation>Datei:        %1
</translation>
    </message>
    <message>
        <source>Entry:      %1
</source>
        <translation>Eintrag:      %1
</translation>
    </message>
    <message>
        <source>Name:       &quot;%1&quot;
</source>
        <translation>Name:         &quot;%1&quot;
</translation>
    </message>
    <message>
        <source>Game code:  %1
</source>
        <translation>Spielcode:    %1
</translation>
    </message>
    <message>
        <source>CRC:        %1
</source>
        <translation>CRC:          %1
</translation>
    </message>
    <message>
        <source>CIC:        %1
</source>
        <translation>CIC:          %1
</translation>
    </message>
    <message>
        <source>MD5:        %1
</source>
        <translation>MD5:          %1
</translation>
    </message>
    <message>
        <source>Byte order: %1
</source>
        <translation>Bytefolge:    %1
</translation>
    </message>
    <message>
        <source>cannot be read</source>
        <translation>kann nicht gelesen werden</translation>
    </message>
    <message>
        <source>no such file</source>
        <translation>Datei nicht vorhanden</translation>
    </message>
    <message>
        <source>is a directory</source>
        <translation>ist ein Ordner</translation>
    </message>
    <message>
        <source>not a regular file (named pipe)</source>
        <translation>keine reguläre Datei (benannte Pipe)</translation>
    </message>
    <message>
        <source>not a regular file (character device)</source>
        <translation>keine reguläre Datei (zeichenorientiertes Gerät)</translation>
    </message>
    <message>
        <source>not a regular file (block device)</source>
        <translation>keine reguläre Datei (blockorientiertes Gerät)</translation>
    </message>
    <message>
        <source>not a regular file (socket)</source>
        <translation>keine reguläre Datei (Socket)</translation>
    </message>
    <message>
        <source>2 GiB or longer</source>
        <translation>2 GiB oder länger</translation>
    </message>
    <message>
        <source>damaged or truncated archive, or not a .zip or .7z</source>
        <translation>beschädigtes oder unvollständiges Archiv, oder kein .zip oder .7z</translation>
    </message>
    <message>
        <source>the archive is encrypted</source>
        <translation>das Archiv ist verschlüsselt</translation>
    </message>
    <message>
        <source>no ROM image inside</source>
        <translation>kein ROM-Abbild darin</translation>
    </message>
    <message>
        <source>too many entries in the archive</source>
        <translation>zu viele Einträge im Archiv</translation>
    </message>
    <message>
        <source>is encrypted</source>
        <translation>ist verschlüsselt</translation>
    </message>
    <message>
        <source>damaged in the archive (bad checksum or size)</source>
        <translation>im Archiv beschädigt (falsche Prüfsumme oder Größe)</translation>
    </message>
    <message>
        <source>unsafe entry name</source>
        <translation>unsicherer Eintragsname</translation>
    </message>
    <message>
        <source>no longer in the archive</source>
        <translation>nicht mehr im Archiv</translation>
    </message>
    <message>
        <source>larger than 64 MiB</source>
        <translation>größer als 64 MiB</translation>
    </message>
    <message>
        <source>overlapping entries in the archive</source>
        <translation>überlappende Einträge im Archiv</translation>
    </message>
    <message>
        <source>the archive unpacks to far more than its size allows</source>
        <translation>das Archiv entpackt weit mehr, als seine Größe erlaubt</translation>
    </message>
    <message>
        <source>an archive, not a ROM image</source>
        <translation>ein Archiv, kein ROM-Abbild</translation>
    </message>
    <message numerus="yes">
        <source>shorter than %1 bytes (%n byte(s))</source>
        <translation>
            <numerusform>kürzer als %1 Bytes (%n Byte)</numerusform>
            <numerusform>kürzer als %1 Bytes (%n Bytes)</numerusform>
        </translation>
    </message>
    <message>
        <source>tolvane-rominfo: %1: not a usable DAT file: %2</source>
        <translation>tolvane-rominfo: %1: keine verwendbare DAT-Datei: %2</translation>
    </message>
    <message>
        <source>Usage: tolvane-rominfo [--json] [--jobs N] [-r] [--dat DAT]... [--] FILE|DIR...
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
  --dat DAT        check each image against this DAT file (XML or clrmamepro text,
                   or a .zip holding one; may be given again): a &quot;Dump:&quot; line,
                   in JSON &quot;dat&quot; with &quot;status&quot; (verified, baddump, differs,
                   unknown), &quot;name&quot; (the DAT&apos;s game) and &quot;file&quot; (the DAT)
  -h, --help       print this help and exit
  --version        print the version and exit
  --               end of options: what follows is a file, even if it begins with -

Exit status: 0 when every file was read, 1 when any was not (or a folder could
not be read, or with --dat an image is not verified), 2 on a usage error or a
DAT file that cannot be used.
</source>
        <translation>Aufruf: tolvane-rominfo [--json] [--jobs N] [-r] [--dat DAT]... [--] DATEI|ORDNER...
Liest jedes ROM-Abbild wie der Launcher, auch jedes Abbild in einem .zip- oder
.7z-Archiv (mit den JSON-Schlüsseln &quot;archive&quot; und &quot;entry&quot;), und gibt Name,
Spielcode, die Prüfsummenwörter des Kopfes, die CIC-Variante, den MD5-Hash des
kanonischen Abbilds und die gespeicherte Bytereihenfolge (z64, v64 oder n64)
aus. In der Textform steht der Name in Anführungszeichen; Anführungszeichen,
umgekehrte Schrägstriche und Steuerzeichen in Texten werden maskiert (\xNN), in
Pfaden auch Bytes, die kein UTF-8 sind. JSON ergänzt &quot;size&quot; (Bytes) und &quot;region&quot;.

  --json           ein JSON-Array mit einem Objekt je Datei ausgeben
  -r, --recursive  die ROM-Abbilder in jedem genannten Ordner und seinen
                   Unterordnern lesen (.z64, .v64, .n64 sowie .zip- und
                   .7z-Archive, in beliebiger Schreibung, wie die Bibliothek sie
                   findet); die Ausgabe ist nach Pfad sortiert
  --jobs N         N Dateien gleichzeitig lesen (Standard: die Zahl der Kerne)
  --dat DAT        jedes Abbild mit dieser DAT-Datei prüfen (XML oder
                   clrmamepro-Text, oder ein .zip, das eine enthält; auch
                   mehrfach möglich): eine &quot;Dump:&quot;-Zeile, in JSON &quot;dat&quot; mit
                   &quot;status&quot; (verified, baddump, differs, unknown), &quot;name&quot; (das
                   Spiel der DAT) und &quot;file&quot; (die DAT)
  -h, --help       diese Hilfe ausgeben und beenden
  --version        die Version ausgeben und beenden
  --               Ende der Optionen: was folgt, ist eine Datei, auch wenn es
                   mit - beginnt

Rückgabewert: 0, wenn jede Datei gelesen wurde, 1, wenn eine nicht gelesen wurde
(oder ein Ordner nicht lesbar war oder mit --dat ein Abbild nicht verifiziert
ist), 2 bei falschem Aufruf oder einer DAT-Datei, die nicht verwendbar ist.
</translation>
    </message>
    <message>
        <source>Dump:       Verified (%1)
</source>
        <translation>Dump:         Verifiziert (%1)
</translation>
    </message>
    <message>
        <source>Dump:       Bad dump (%1)
</source>
        <translation>Dump:         Fehlerhafter Dump (%1)
</translation>
    </message>
    <message>
        <source>Dump:       %1
</source>
        <translation>Dump:         %1
</translation>
    </message>
</context>
<context>
    <name>RomOpener</name>
    <message>
        <source>Reading progress</source>
        <translation>Lesefortschritt</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Cancel reading</source>
        <translation>Lesen abbrechen</translation>
    </message>
    <message>
        <source>Reading “%1”…</source>
        <translation>„%1“ wird gelesen…</translation>
    </message>
</context>
<context>
    <name>SessionMessages</name>
    <message>
        <source>Extracting “%1”…</source>
        <translation>„%1“ wird entpackt…</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Extracting</source>
        <translation>Entpacken</translation>
    </message>
    <message>
        <source>Cannot Start the Game</source>
        <translation>Das Spiel kann nicht gestartet werden</translation>
    </message>
    <message>
        <source>Emulator Not Found</source>
        <translation>Emulator nicht gefunden</translation>
    </message>
    <message>
        <source>Choose the emulator program in Preferences ▸ Emulator, or install the default build.</source>
        <translation>Wählen Sie das Emulator-Programm unter Einstellungen ▸ Emulator, oder installieren Sie den Standard-Build.</translation>
    </message>
    <message>
        <source>Open Emulator Preferences…</source>
        <translation>Emulator-Einstellungen öffnen…</translation>
    </message>
    <message>
        <source>Controller Settings Not Passed On</source>
        <translation>Controller-Einstellungen nicht übergeben</translation>
    </message>
    <message>
        <source>The emulator is starting without your controller settings: they could not be saved in “%1”, because you cannot write to that folder.

To use them, put the emulator build in your own folder “%2/tolvane.app”, or make the folder above writable for you.</source>
        <translation>Der Emulator startet ohne Ihre Controller-Einstellungen: Sie konnten nicht in „%1“ gespeichert werden, weil Sie in diesen Ordner nicht schreiben dürfen.

Um sie zu verwenden, legen Sie den Emulator-Build in Ihren eigenen Ordner „%2/tolvane.app“, oder machen Sie den Ordner oben für sich beschreibbar.</translation>
    </message>
</context>
<context>
    <name>SettingsNotice</name>
    <message>
        <source>Settings Not Read</source>
        <translation>Einstellungen nicht gelesen</translation>
    </message>
    <message>
        <source>Your settings file could not be read, so the Launcher started with its default settings. The file was kept as “%1”; your earlier settings are still in it.</source>
        <translation>Ihre Einstellungsdatei konnte nicht gelesen werden, daher startete der Launcher mit seinen Standardeinstellungen. Die Datei wurde als „%1“ aufbewahrt; Ihre bisherigen Einstellungen sind noch darin.</translation>
    </message>
    <message>
        <source>Settings Not Saved</source>
        <translation>Einstellungen nicht gespeichert</translation>
    </message>
    <message>
        <source>The disk holding your settings is full; your change is kept until the Launcher quits.</source>
        <translation>Der Datenträger mit Ihren Einstellungen ist voll; Ihre Änderung bleibt erhalten, bis der Launcher beendet wird.</translation>
    </message>
    <message>
        <source>Your settings cannot be saved in “%1”: %2. Your changes are kept until the Launcher quits.</source>
        <translation>Ihre Einstellungen können nicht in „%1“ gespeichert werden: %2. Ihre Änderungen bleiben erhalten, bis der Launcher beendet wird.</translation>
    </message>
    <message>
        <source>Your settings file “%1” cannot be read, so the game was not started: it would have run without your settings. Correct the file, or start the Launcher, which keeps the file aside and starts on its default settings.</source>
        <translation>Ihre Einstellungsdatei „%1“ kann nicht gelesen werden, daher wurde das Spiel nicht gestartet: Es wäre ohne Ihre Einstellungen gelaufen. Berichtigen Sie die Datei, oder starten Sie den Launcher, der die Datei beiseitelegt und mit seinen Standardeinstellungen startet.</translation>
    </message>
    <message>
        <source>Settings File Cannot Be Read</source>
        <translation>Einstellungsdatei nicht lesbar</translation>
    </message>
    <message>
        <source>Your settings file “%1” cannot be read right now; perhaps it is still being edited. The Launcher keeps your settings as they were and saves nothing until the file can be read again.</source>
        <translation>Ihre Einstellungsdatei „%1“ kann gerade nicht gelesen werden; vielleicht wird sie noch bearbeitet. Der Launcher behält Ihre Einstellungen, wie sie waren, und speichert nichts, bis die Datei wieder gelesen werden kann.</translation>
    </message>
</context>
<context>
    <name>SingleInstance</name>
    <message numerus="yes">
        <source>The running Launcher did not take the game within %n seconds (it may be stopped or not responding); nothing was started.</source>
        <translation>
            <numerusform>Der laufende Launcher hat das Spiel nicht innerhalb von %n Sekunde angenommen (er ist vielleicht angehalten oder reagiert nicht); nichts wurde gestartet.</numerusform>
            <numerusform>Der laufende Launcher hat das Spiel nicht innerhalb von %n Sekunden angenommen (er ist vielleicht angehalten oder reagiert nicht); nichts wurde gestartet.</numerusform>
        </translation>
    </message>
    <message>
        <source>The running Launcher ended without saying how the game ended.</source>
        <translation>Der laufende Launcher wurde beendet, ohne mitzuteilen, wie das Spiel endete.</translation>
    </message>
</context>
<context>
    <name>SqliteFailure</name>
    <message>
        <source>the disk is full</source>
        <translation>der Datenträger ist voll</translation>
    </message>
    <message>
        <source>it was written by another version of the Launcher</source>
        <translation>sie wurde von einer anderen Version des Launchers geschrieben</translation>
    </message>
    <message>
        <source>the file is damaged</source>
        <translation>die Datei ist beschädigt</translation>
    </message>
    <message>
        <source>the file is not a database</source>
        <translation>die Datei ist keine Datenbank</translation>
    </message>
    <message>
        <source>another program is using it</source>
        <translation>ein anderes Programm benutzt sie</translation>
    </message>
    <message>
        <source>it cannot be written</source>
        <translation>sie kann nicht geschrieben werden</translation>
    </message>
    <message>
        <source>it or its journal cannot be opened</source>
        <translation>sie oder ihr Journal kann nicht geöffnet werden</translation>
    </message>
    <message>
        <source>the disk reported an error</source>
        <translation>der Datenträger meldete einen Fehler</translation>
    </message>
    <message>
        <source>there is not enough memory</source>
        <translation>es ist nicht genug Speicher frei</translation>
    </message>
    <message>
        <source>an unknown error</source>
        <translation>ein unbekannter Fehler</translation>
    </message>
</context>
<context>
    <name>TvMode</name>
    <message>
        <source>TV Mode</source>
        <translation>TV-Modus</translation>
    </message>
    <message>
        <source>Leave TV Mode</source>
        <translation>TV-Modus verlassen</translation>
    </message>
    <message>
        <source>A Play · B Back · X Menu · Y Favourite</source>
        <translation>A Spielen · B Zurück · X Menü · Y Favorit</translation>
    </message>
    <message>
        <source>Show the library full screen, in large covers, for a TV and a pad</source>
        <translation>Die Bibliothek im Vollbild mit großen Covern zeigen, für einen Fernseher und ein Pad</translation>
    </message>
    <message>
        <source>TV mode</source>
        <translation>TV-Modus</translation>
    </message>
    <message>
        <source>The selected game</source>
        <translation>Das gewählte Spiel</translation>
    </message>
    <message>
        <source>No game is selected.</source>
        <translation>Kein Spiel ist gewählt.</translation>
    </message>
    <message>
        <source>Favourite</source>
        <translation>Favorit</translation>
    </message>
    <message>
        <source>Never played</source>
        <translation>Nie gespielt</translation>
    </message>
    <message>
        <source>Played for %1</source>
        <translation>%1 gespielt</translation>
    </message>
</context>
<context>
    <name>VideoPrefsView</name>
    <message>
        <source>&amp;Video plug-in:</source>
        <translation>&amp;Video-Plug-in:</translation>
    </message>
    <message>
        <source>Video plug-in</source>
        <translation>Video-Plug-in</translation>
    </message>
    <message>
        <source>&amp;Resolution:</source>
        <translation>&amp;Auflösung:</translation>
    </message>
    <message>
        <source>Resolution</source>
        <translation>Auflösung</translation>
    </message>
    <message>
        <source>&amp;Full screen</source>
        <translation>V&amp;ollbild</translation>
    </message>
    <message>
        <source>Full screen</source>
        <translation>Vollbild</translation>
    </message>
</context>
<context>
    <name>WindowController</name>
    <message>
        <source>Force Stop</source>
        <translation>Sofort beenden</translation>
    </message>
    <message>
        <source>End the emulator at once, without letting it save</source>
        <translation>Den Emulator sofort beenden, ohne ihn speichern zu lassen</translation>
    </message>
    <message>
        <source>Ctrl+Shift+.</source>
        <translation>Ctrl+Shift+.</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>Status</translation>
    </message>
    <message>
        <source>Tolvane Launcher</source>
        <translation>Tolvane Launcher</translation>
    </message>
    <message>
        <source>Stop the game that is running before playing another.</source>
        <translation>Stoppen Sie das laufende Spiel, bevor Sie ein anderes spielen.</translation>
    </message>
    <message>
        <source>“%1” was not opened: no image was chosen, or opening it was cancelled.</source>
        <translation>„%1“ wurde nicht geöffnet: Kein Abbild wurde gewählt, oder das Öffnen wurde abgebrochen.</translation>
    </message>
    <message>
        <source>Open ROM Image</source>
        <translation>ROM-Abbild öffnen</translation>
    </message>
    <message>
        <source>“%1” cannot be opened.

%2</source>
        <translation>„%1“ kann nicht geöffnet werden.

%2</translation>
    </message>
    <message>
        <source>The file could not be read.</source>
        <translation>Die Datei konnte nicht gelesen werden.</translation>
    </message>
    <message>
        <source>An emulator is already running; it was left as it is.</source>
        <translation>Ein Emulator läuft bereits; er wurde nicht angetastet.</translation>
    </message>
    <message>
        <source>%1 — Tolvane Launcher</source>
        <translation>%1 – Tolvane Launcher</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source>tolvane-launcher: unknown option %1 (try --help; a file named so: -- %1)</source>
        <translation>tolvane-launcher: unbekannte Option %1 (siehe --help; eine Datei dieses Namens: -- %1)</translation>
    </message>
    <message>
        <source>tolvane-launcher: --play takes one FILE and no other files (try --help)</source>
        <translation>tolvane-launcher: --play nimmt eine DATEI und keine weiteren Dateien (siehe --help)</translation>
    </message>
    <message>
        <source>Usage: tolvane-launcher [OPTION]... [--] [FILE]...
Shows Nintendo 64 ROM images and plays them with the Tolvane emulator.
A FILE is opened in the Launcher that is already running, if there is one.

  --play FILE    play FILE with its game&apos;s settings and wait until the emulator
                 ends; a running Launcher does the playing, otherwise no
                 window opens
  --tv           show the library full screen in large covers, for a TV and a
                 pad (TV mode; F11 or Escape leaves it)
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
        <translation>Aufruf: tolvane-launcher [OPTION]... [--] [DATEI]...
Zeigt Nintendo-64-ROM-Abbilder und spielt sie mit dem Tolvane-Emulator.
Eine DATEI wird im bereits laufenden Launcher geöffnet, wenn es einen gibt.

  --play DATEI   DATEI mit den Einstellungen ihres Spiels spielen und warten, bis
                 der Emulator endet; ein laufender Launcher übernimmt das Spielen,
                 sonst öffnet sich kein Fenster
  --tv           die Bibliothek im Vollbild mit großen Covern zeigen, für einen
                 Fernseher und ein Gamepad (TV-Modus; F11 oder Esc verlässt ihn)
  -h, --help     diese Hilfe ausgeben und beenden
  --version      die Version ausgeben und beenden
  --             Ende der Optionen: was folgt, ist eine Datei, auch wenn es mit -
                 beginnt

Qts eigene Optionen wie -platform NAME werden ebenfalls angenommen.

Rückgabewert von --play (den Grund eines Fehlers nennt die Standardfehlerausgabe):
  0       der Emulator wurde normal beendet oder im Launcher gestoppt
  N       der Emulator endete mit Status N, unverändert weitergegeben
  64      die Befehlszeile ist falsch
  66      DATEI kann nicht geöffnet oder ihr Abbild nicht entpackt werden
  69      es gibt kein Emulator-Programm zum Starten
  75      es wird bereits ein Spiel gespielt (es blieb unangetastet), oder der
          laufende Launcher hat DATEI nicht innerhalb von 5 Sekunden angenommen
          (angehalten oder reagiert nicht)
  78      die Einstellungsdatei kann nicht gelesen werden; sie blieb unverändert
  128+N   der Emulator wurde durch Signal N beendet (er ist abgestürzt)
  129     --play wurde durch SIGHUP beendet, nachdem der Emulator, den es zum
          Beenden aufgefordert hatte, beendet war
  130     dasselbe für SIGINT (Strg+C); ein zweites beendet den Emulator sofort
  143     dasselbe für SIGTERM
</translation>
    </message>
</context>
</TS>
