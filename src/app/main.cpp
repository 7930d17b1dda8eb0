#include "app/AppDelegate.h"
#include "app/CommandLinePlay.h"
#include "launch/EntryExtractor.h"
#include "launch/PlayStatus.h"
#include "platform/Bundle.h"
#include "platform/LocalPath.h"
#include "platform/SingleInstance.h"
#include "platform/Translations.h"
#include "platform/UnixSignalWatcher.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QIcon>
#include <QLockFile>
#include <QStringList>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <functional>
#include <optional>

namespace {

// What is printed before the window's application object exists still speaks the user's
// language: a core application holds the catalogues while the text is made and printed.
int printTranslated(int argc, char *argv[], std::FILE *stream, const std::function<QString()> &text, int status)
{
    QCoreApplication app(argc, argv);
    Translations::install(app);
    std::fputs(text().toLocal8Bit().constData(), stream);
    return status;
}

QString refusal(const QString &option)
{
    return QApplication::translate("main", "tolvane-launcher: unknown option %1 (try --help; a file named so: -- %1)")
        .arg(option);
}

// Qt's own options, which QApplication takes out of the arguments: those followed by a
// value, and those that stand alone. Also written with two dashes, or as -style=NAME.
constexpr const char *kQtOptionsWithValue[] = {"platform", "platformpluginpath", "platformtheme", "plugin",
                                               "qwindowgeometry", "qwindowicon", "qwindowtitle", "session",
                                               "display", "geometry", "title", "icon", "name", "visual",
                                               "style", "stylesheet"};
constexpr const char *kQtFlags[] = {"reverse", "widgetcount", "testability", "nograb", "dograb", "sync",
                                    "qmljsdebugger"};

// How many arguments Qt's option at argv[i] takes up (1 or 2); 0 when it is not Qt's.
int qtOptionLength(int argc, char *argv[], int i)
{
    const char *name = argv[i] + (std::strncmp(argv[i], "--", 2) == 0 ? 2 : 1);
    const char *equals = std::strchr(name, '=');
    const size_t length = equals ? size_t(equals - name) : std::strlen(name);
    for (const char *option : kQtOptionsWithValue) {
        if (std::strlen(option) == length && std::strncmp(name, option, length) == 0) {
            if (equals)
                return std::strncmp(option, "style", 5) == 0 ? 1 : 0;
            return i + 1 < argc ? 2 : 0;
        }
    }
    for (const char *option : kQtFlags) {
        if (std::strlen(option) == length && std::strncmp(name, option, length) == 0)
            return 1;
    }
    return 0;
}

// --help, --version and unknown options are answered before anything needs a display or a
// running Launcher; "--" ends the options, so a file named "--help" can still be opened.
std::optional<int> answerOptionsBeforeDisplay(int argc, char *argv[])
{
    for (int i = 1; i < argc && std::strcmp(argv[i], "--") != 0; ++i) {
        if (std::strcmp(argv[i], "--version") == 0) {
            std::fputs("tolvane-launcher " TOLVANE_VERSION "\n", stdout);
            return 0;
        }
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            return printTranslated(argc, argv, stdout, [] { return QApplication::translate(
                "main", "Usage: tolvane-launcher [OPTION]... [--] [FILE]...\n"
                        "Shows Nintendo 64 ROM images and plays them with the Tolvane emulator.\n"
                        "A FILE is opened in the Launcher that is already running, if there is one.\n"
                        "\n"
                        "  --play FILE    play FILE with its game's settings and wait until the emulator\n"
                        "                 ends; a running Launcher does the playing, otherwise no\n"
                        "                 window opens\n"
                        "  --tv           show the library full screen in large covers, for a TV and a\n"
                        "                 pad (TV mode; F11 or Escape leaves it)\n"
                        "  -h, --help     print this help and exit\n"
                        "  --version      print the version and exit\n"
                        "  --             end of options: what follows is a file, even if it begins with -\n"
                        "\n"
                        "Qt's own options, such as -platform NAME, are accepted too.\n"
                        "\n"
                        "Exit status of --play (the reason of a failure is on standard error):\n"
                        "  0       the emulator quit normally, or was stopped in the Launcher\n"
                        "  N       the emulator exited with status N, passed on as it is\n"
                        "  64      the command line is wrong\n"
                        "  66      FILE cannot be opened or its image cannot be extracted\n"
                        "  69      there is no emulator program to start\n"
                        "  75      a game is being played already (it was left as it is), or the running\n"
                        "          Launcher did not take FILE within 5 seconds (stopped or not responding)\n"
                        "  78      the settings file cannot be read; it was left as it is\n"
                        "  128+N   the emulator was ended by signal N (it crashed)\n"
                        "  129     --play was ended by SIGHUP, once the emulator it asked to end had ended\n"
                        "  130     the same for SIGINT (Ctrl+C); a second one ends the emulator at once\n"
                        "  143     the same for SIGTERM\n"); }, 0);
        }
    }
    for (int i = 1; i < argc && std::strcmp(argv[i], "--") != 0; ++i) {
        if (argv[i][0] != '-' || argv[i][1] == '\0')
            continue;
        // Its file may begin with '-' too; a missing file is refused with the option.
        if (std::strcmp(argv[i], "--play") == 0) {
            ++i;
            continue;
        }
        if (std::strcmp(argv[i], "--tv") == 0)
            continue;
        if (const int length = qtOptionLength(argc, argv, i)) {
            i += length - 1;
            continue;
        }
        const QString option = QString::fromLocal8Bit(argv[i]);
        return printTranslated(argc, argv, stderr, [&option] { return refusal(option) + QLatin1Char('\n'); },
                               PlayStatus::Usage);
    }
    return std::nullopt;
}

// "--play FILE": the file to play, or nothing when the option is not given. An option
// without its file, or given with other files, is refused here, before any display.
std::optional<LocalPath> playOption(int argc, char *argv[], int &status)
{
    for (int i = 1; i < argc && std::strcmp(argv[i], "--") != 0; ++i) {
        if (std::strcmp(argv[i], "--play") != 0)
            continue;
        // Qt's options and their values ("-platform offscreen") are no files.
        int others = 0;
        for (int j = 1; j < argc; ++j) {
            if (j == i)
                ++j;
            else if (argv[j][0] == '-')
                j += std::max(qtOptionLength(argc, argv, j), 1) - 1;
            else
                ++others;
        }
        if (i + 1 >= argc || others > 0) {
            status = printTranslated(argc, argv, stderr, [] {
                return QCoreApplication::translate("main", "tolvane-launcher: --play takes one FILE and no "
                                                           "other files (try --help)") + QLatin1Char('\n');
            }, PlayStatus::Usage);
            return LocalPath();
        }
        return LocalPath(argv[i + 1]);
    }
    return std::nullopt;
}

} // namespace

int main(int argc, char *argv[])
{
    // A closed output stream of ours (started as "… | head", or a session's log gone) must
    // make writes fail, not kill us and leave the emulator with nobody watching it. The
    // emulator gets the default back (ChildProcess).
    std::signal(SIGPIPE, SIG_IGN);

    if (const std::optional<int> status = answerOptionsBeforeDisplay(argc, argv))
        return *status;
    int playStatus = 0;
    if (const std::optional<LocalPath> play = playOption(argc, argv, playStatus))
        return playStatus ? playStatus : CommandLinePlay::run(argc, argv, *play);

    QApplication app(argc, argv);
    Translations::install(app);
    QApplication::setApplicationName(QStringLiteral("tolvane-launcher"));
    QApplication::setApplicationVersion(QStringLiteral(TOLVANE_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("io.github.tolvane.Launcher"));
    // For window managers and task bars that do not look windows up by their desktop file.
    QApplication::setWindowIcon(QIcon(Bundle::mainBundle().resourcePath()
                                      + QStringLiteral("/../icons/hicolor/scalable/apps/io.github.tolvane.Launcher.svg")));
    // Closing the main window only hides it; the Launcher ends with Quit.
    QApplication::setQuitOnLastWindowClosed(false);

    // Every argument is a file handed to the application (the desktop file passes %F);
    // Qt has taken its own options out. An unknown option is refused rather than sent to
    // a running Launcher as a file. The names are taken from argv as bytes (QApplication
    // has removed its own options there too): as text, a name that is not UTF-8 is lost.
    LocalPaths files;
    bool optionsEnded = false;
    bool tvMode = false;
    for (int i = 1; i < argc; ++i) {
        const QByteArray argument(argv[i]);
        if (!optionsEnded && argument == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && argument == "--tv") {
            tvMode = true;
        } else if (!optionsEnded && argument.startsWith('-') && argument != "-") {
            // One that Qt would have taken for itself on another platform.
            std::fprintf(stderr, "%s\n", qPrintable(refusal(QString::fromLocal8Bit(argument))));
            return PlayStatus::Usage;
        } else {
            files.append(LocalPath(argument).absolute());
        }
    }

    SingleInstance instance;
    {
        // Two starts at the same moment must not both find nobody and take the socket in
        // turn; a lock left by a crashed start is taken over.
        QLockFile startLock(SingleInstance::defaultServerName() + QStringLiteral(".lock"));
        startLock.tryLock(5000);
        if (instance.sendToRunningInstance(tvMode ? files + LocalPaths{LocalPath(AppDelegate::tvModeHandOver)} : files))
            return 0;
        instance.listen();
    }
    // The one Launcher: games extracted by one that crashed are nobody's now.
    EntryExtractor::removeLeftovers();

    AppDelegate delegate;
    delegate.setStartInTvMode(tvMode);
    QObject::connect(&instance, &SingleInstance::filesReceived, &delegate, &AppDelegate::openFilesFromAnotherInstance);
    QObject::connect(&instance, &SingleInstance::playRequested, &delegate, [&](const LocalPath &path, quint64 request, const QList<QByteArray> &environment,
                                                                                     const std::shared_ptr<CallerOutput> &output) {
        delegate.playFileForAnotherStart(path, [&instance, request](int exitCode, const QString &text) {
            instance.answerPlayRequest(request, exitCode, text);
        }, environment, output);
    });
    QObject::connect(&app, &QCoreApplication::aboutToQuit, &delegate, &AppDelegate::applicationWillTerminate);
    // Ended by the session, kill or Ctrl+C: leave through the event loop, so a running or
    // paused emulator is asked to end as at Quit.
    UnixSignalWatcher endSignals({SIGTERM, SIGINT, SIGHUP});
    QObject::connect(&endSignals, &UnixSignalWatcher::unixSignal, &app,
                     [](int signalNumber) { QCoreApplication::exit(128 + signalNumber); });

    // Handed over before launching has finished: only the last one is kept and opened.
    for (const LocalPath &file : files)
        delegate.applicationOpenFile(file);
    QMetaObject::invokeMethod(&delegate, &AppDelegate::applicationDidFinishLaunching, Qt::QueuedConnection);
    return app.exec();
}
