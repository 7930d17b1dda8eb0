#include "app/AppDelegate.h"
#include "launch/EntryExtractor.h"
#include "platform/SingleInstance.h"
#include "platform/UnixSignalWatcher.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QStringList>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <optional>

namespace {

// --help and --version are answered before anything needs a display or a running Launcher;
// "--" ends the options, so a file named "--help" can still be opened.
std::optional<int> answerInformationOptions(int argc, char *argv[])
{
    for (int i = 1; i < argc && std::strcmp(argv[i], "--") != 0; ++i) {
        if (std::strcmp(argv[i], "--version") == 0) {
            std::fputs("tolvane-launcher " TOLVANE_VERSION "\n", stdout);
            return 0;
        }
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            const QString usage = QApplication::translate(
                "main", "Usage: tolvane-launcher [OPTION]... [--] [FILE]...\n"
                        "Shows Nintendo 64 ROM images and plays them with the Tolvane emulator.\n"
                        "A FILE is opened in the Launcher that is already running, if there is one.\n"
                        "\n"
                        "  -h, --help     print this help and exit\n"
                        "  --version      print the version and exit\n"
                        "  --             end of options: what follows is a file, even if it begins with -\n"
                        "\n"
                        "Qt's own options, such as -platform NAME, are accepted too.\n");
            std::fputs(usage.toLocal8Bit().constData(), stdout);
            return 0;
        }
    }
    return std::nullopt;
}

} // namespace

int main(int argc, char *argv[])
{
    if (const std::optional<int> status = answerInformationOptions(argc, argv))
        return *status;

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("tolvane-launcher"));
    QApplication::setApplicationVersion(QStringLiteral(TOLVANE_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("io.github.tolvane.Launcher"));
    // Closing the main window only hides it; the Launcher ends with Quit.
    QApplication::setQuitOnLastWindowClosed(false);

    // Every argument is a file handed to the application (the desktop file passes %F);
    // Qt has taken its own options out. An unknown option is refused rather than sent to
    // a running Launcher as a file.
    QStringList files;
    const QStringList arguments = QApplication::arguments();
    bool optionsEnded = false;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        if (!optionsEnded && argument == QLatin1String("--")) {
            optionsEnded = true;
        } else if (!optionsEnded && argument.startsWith(QLatin1Char('-')) && argument != QLatin1String("-")) {
            std::fprintf(stderr, "%s\n",
                         qPrintable(QApplication::translate("main", "tolvane-launcher: unknown option %1 "
                                                                    "(try --help; a file named so: -- %1)")
                                        .arg(argument)));
            return 2;
        } else {
            files.append(QFileInfo(argument).absoluteFilePath());
        }
    }

    SingleInstance instance;
    {
        // Two starts at the same moment must not both find nobody and take the socket in
        // turn; a lock left by a crashed start is taken over.
        QLockFile startLock(SingleInstance::defaultServerName() + QStringLiteral(".lock"));
        startLock.tryLock(5000);
        if (instance.sendToRunningInstance(files))
            return 0;
        instance.listen();
    }
    // The one Launcher: games extracted by one that crashed are nobody's now.
    EntryExtractor::removeLeftovers();

    AppDelegate delegate;
    QObject::connect(&instance, &SingleInstance::filesReceived, &delegate, &AppDelegate::openFilesFromAnotherInstance);
    QObject::connect(&app, &QCoreApplication::aboutToQuit, &delegate, &AppDelegate::applicationWillTerminate);
    // Ended by the session, kill or Ctrl+C: leave through the event loop, so a running or
    // paused emulator is asked to end as at Quit.
    UnixSignalWatcher endSignals({SIGTERM, SIGINT, SIGHUP});
    QObject::connect(&endSignals, &UnixSignalWatcher::unixSignal, &app,
                     [](int signalNumber) { QCoreApplication::exit(128 + signalNumber); });

    // Handed over before launching has finished: only the last one is kept and opened.
    for (const QString &file : files)
        delegate.applicationOpenFile(file);
    QMetaObject::invokeMethod(&delegate, &AppDelegate::applicationDidFinishLaunching, Qt::QueuedConnection);
    return app.exec();
}
