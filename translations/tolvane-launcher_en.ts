<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>GameHistory</name>
    <message numerus="yes">
        <source>%n days ago</source>
        <translation type="unfinished">
            <numerusform></numerusform>
            <numerusform></numerusform>
        </translation>
    </message>
</context>
<context>
    <name>GameSession</name>
    <message numerus="yes">
        <source>The archive holds %n ROM images; --play takes an archive with one (open it in the Launcher to choose).</source>
        <translation type="unfinished">
            <numerusform></numerusform>
            <numerusform></numerusform>
        </translation>
    </message>
</context>
<context>
    <name>LibraryFilterNotice</name>
    <message numerus="yes">
        <source>%1 Matches: %n.</source>
        <translation type="unfinished">
            <numerusform></numerusform>
            <numerusform></numerusform>
        </translation>
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
    <message numerus="yes">
        <source>Files that went away while they were read (a drive removed?): %n. They are kept as not available and read when they are back.</source>
        <translation type="unfinished">
            <numerusform></numerusform>
            <numerusform></numerusform>
        </translation>
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
    <message numerus="yes">
        <source>Your play history could not be read whole (%1). The file was renamed to “%2”; the %n game(s) that could be read are in a new history.</source>
        <translation type="unfinished">
            <numerusform></numerusform>
            <numerusform></numerusform>
        </translation>
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
</context>
</TS>
