<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>ControllerPreferencesViewController</name>
    <message numerus="yes">
        <source>Pads: %1</source>
        <translation>
            <numerusform>Pad: %1</numerusform>
            <numerusform>Pads: %1</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>The inputs were filled from the layout of %1, except %n input(s) whose rows say why.</source>
        <translation>
            <numerusform>The inputs were filled from the layout of %1, except %n input whose row says why.</numerusform>
            <numerusform>The inputs were filled from the layout of %1, except %n inputs whose rows say why.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>DatCatalog</name>
    <message numerus="yes">
        <source>%1, %Ln games</source>
        <translation>
            <numerusform>%1, %Ln game</numerusform>
            <numerusform>%1, %Ln games</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1, %2, %Ln games</source>
        <translation>
            <numerusform>%1, %2, %Ln game</numerusform>
            <numerusform>%1, %2, %Ln games</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>DatFile</name>
    <message numerus="yes">
        <source>The archive holds %n DAT files; only an archive holding one can be used.</source>
        <translation>
            <numerusform>The archive holds %n DAT file; only an archive holding one can be used.</numerusform>
            <numerusform>The archive holds %n DAT files; only an archive holding one can be used.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>The file lists more than %n entries.</source>
        <translation>
            <numerusform>The file lists more than %n entry.</numerusform>
            <numerusform>The file lists more than %n entries.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>DatTextReader</name>
    <message numerus="yes">
        <source>A name or value is longer than %n characters.</source>
        <translation>
            <numerusform>A name or value is longer than %n character.</numerusform>
            <numerusform>A name or value is longer than %n characters.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>DatXmlReader</name>
    <message numerus="yes">
        <source>A game&apos;s name is longer than %n characters.</source>
        <translation>
            <numerusform>A game&apos;s name is longer than %n character.</numerusform>
            <numerusform>A game&apos;s name is longer than %n characters.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>A file&apos;s name is longer than %n characters.</source>
        <translation>
            <numerusform>A file&apos;s name is longer than %n character.</numerusform>
            <numerusform>A file&apos;s name is longer than %n characters.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>A header field or serial is longer than %n characters.</source>
        <translation>
            <numerusform>A header field or serial is longer than %n character.</numerusform>
            <numerusform>A header field or serial is longer than %n characters.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>GameHistory</name>
    <message numerus="yes">
        <source>%n days ago</source>
        <translation>
            <numerusform>%n day ago</numerusform>
            <numerusform>%n days ago</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>GameLibrary</name>
    <message numerus="yes">
        <source>%Ln file(s), all from the cache.</source>
        <translation>
            <numerusform>%Ln file, all from the cache.</numerusform>
            <numerusform>%Ln files, all from the cache.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%Ln file(s): %1 read, %2 from the cache.</source>
        <translation>
            <numerusform>%Ln file: %1 read, %2 from the cache.</numerusform>
            <numerusform>%Ln files: %1 read, %2 from the cache.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>GameSession</name>
    <message numerus="yes">
        <source>The archive holds %n ROM images; --play takes an archive with one (open it in the Launcher to choose).</source>
        <translation>
            <numerusform>The archive holds %n ROM image; --play takes an archive with one (open it in the Launcher to choose).</numerusform>
            <numerusform>The archive holds %n ROM images; --play takes an archive with one (open it in the Launcher to choose).</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>LibraryFilterNotice</name>
    <message numerus="yes">
        <source>%1 Matches: %n.</source>
        <translation>
            <numerusform>%1 Matches: %n.</numerusform>
            <numerusform>%1 Matches: %n.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>LibraryModel</name>
    <message numerus="yes">
        <source>%n copies</source>
        <translation>
            <numerusform>%n copy</numerusform>
            <numerusform>%n copies</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1, %n copies</source>
        <translation>
            <numerusform>%1, %n copy</numerusform>
            <numerusform>%1, %n copies</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>LibraryScanner</name>
    <message numerus="yes">
        <source>%n folder(s), “%1” among them, cannot be watched for changes (%2); use Rescan Library (F5) after changing files there.</source>
        <translation>
            <numerusform>%n folder, “%1”, cannot be watched for changes (%2); use Rescan Library (F5) after changing files there.</numerusform>
            <numerusform>%n folders, “%1” among them, cannot be watched for changes (%2); use Rescan Library (F5) after changing files there.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Files that went away while they were read (a drive removed?): %n. They are kept as not available and read when they are back.</source>
        <translation>
            <numerusform>Files that went away while they were read (a drive removed?): %n. They are kept as not available and read when they are back.</numerusform>
            <numerusform>Files that went away while they were read (a drive removed?): %n. They are kept as not available and read when they are back.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>OutputRelay</name>
    <message numerus="yes">
        <source>tolvane-launcher: %n byte(s) of output were dropped here while this stream was blocked.</source>
        <translation>
            <numerusform>tolvane-launcher: %n byte of output was dropped here while this stream was blocked.</numerusform>
            <numerusform>tolvane-launcher: %n bytes of output were dropped here while this stream was blocked.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>PadStopGroup</name>
    <message numerus="yes">
        <source>%n s</source>
        <comment>hold time in seconds</comment>
        <translation>
            <numerusform>%n s</numerusform>
            <numerusform>%n s</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>PlayHistory</name>
    <message numerus="yes">
        <source>Your play history could not be read whole (%1). The file was renamed to “%2”; the %n game(s) that could be read are in a new history.</source>
        <translation>
            <numerusform>Your play history could not be read whole (%1). The file was renamed to “%2”; the %n game that could be read is in a new history.</numerusform>
            <numerusform>Your play history could not be read whole (%1). The file was renamed to “%2”; the %n games that could be read are in a new history.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>ROM</name>
    <message numerus="yes">
        <source>The file is only %Ln byte(s) long; a ROM image has at least %1 bytes.</source>
        <translation>
            <numerusform>The file is only %Ln byte long; a ROM image has at least %1 bytes.</numerusform>
            <numerusform>The file is only %Ln bytes long; a ROM image has at least %1 bytes.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>ROMViewController</name>
    <message numerus="yes">
        <source>%1 (%Ln byte(s))</source>
        <translation>
            <numerusform>%1 (%Ln byte)</numerusform>
            <numerusform>%1 (%Ln bytes)</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>RomInfoTool</name>
    <message numerus="yes">
        <source>shorter than %1 bytes (%n byte(s))</source>
        <translation>
            <numerusform>shorter than %1 bytes (%n byte)</numerusform>
            <numerusform>shorter than %1 bytes (%n bytes)</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>SingleInstance</name>
    <message numerus="yes">
        <source>The running Launcher did not take the game within %n seconds (it may be stopped or not responding); nothing was started.</source>
        <translation>
            <numerusform>The running Launcher did not take the game within %n second (it may be stopped or not responding); nothing was started.</numerusform>
            <numerusform>The running Launcher did not take the game within %n seconds (it may be stopped or not responding); nothing was started.</numerusform>
        </translation>
    </message>
</context>
</TS>
