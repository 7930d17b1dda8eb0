#include "app/CommandLinePlay.h"

#include "launch/EmulatorSupervisor.h"
#include "mainwindow/WindowController.h"
#include "platform/Bundle.h"
#include "platform/SingleInstance.h"
#include "platform/UnixSignalWatcher.h"
#include "platform/UserDefaults.h"
#include "rom/ROM.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QUrl>

#include <csignal>
#include <cstdio>

namespace {

int finish(int exitCode, const QString &text)
{
    if (exitCode != 0)
        std::fprintf(stderr, "tolvane-launcher: %s\n", qUtf8Printable(text));
    return exitCode;
}

} // namespace

int CommandLinePlay::run(int &argc, char **argv, const LocalPath &path)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("tolvane-launcher"));
    const LocalPath file = path.absolute();
    SingleInstance instance;
    if (const std::optional<SingleInstance::PlayAnswer> answer = instance.playInRunningInstance(file))
        return finish(answer->exitCode, answer->text);
    return playHere(file);
}

int CommandLinePlay::playHere(const LocalPath &path)
{
    // Two plays without a Launcher would start two emulators over one InputAutoCfg.ini.
    QLockFile playing(SingleInstance::defaultServerName() + QStringLiteral(".play.lock"));
    if (!playing.tryLock(0))
        return finish(1, QCoreApplication::translate("CommandLinePlay",
                                                     "An emulator is already running; it was left as it is."));

    UserDefaults &defaults = UserDefaults::standardUserDefaults();
    if (const auto fallbacks = Bundle::dictionaryWithContentsOfFile(
            Bundle::mainBundle().pathForResource(QStringLiteral("Defaults"), QStringLiteral("plist"))))
        defaults.registerDefaults(*fallbacks);

    const std::shared_ptr<ROM> rom = ROM::romFromURL(path.toUrl());
    if (!rom || !rom->isValid())
        return finish(1, WindowController::cannotOpenText(path.displayText(),
                                                          rom ? rom->refusalReason() : QString())
                             .replace(QStringLiteral("\n\n"), QStringLiteral(" ")));

    EmulatorSupervisor supervisor;
    supervisor.setBundlePath(Bundle::mainBundle().resourcePath());
    supervisor.readEmulatorConfig();
    if (const QString problem = supervisor.startProblem(rom.get()); !problem.isEmpty())
        return finish(1, problem);
    QObject::connect(&supervisor, &EmulatorSupervisor::inputAutoCfgNotWritable, [](const QString &folder) {
        std::fprintf(stderr, "%s\n",
                     qUtf8Printable(QCoreApplication::translate(
                                        "CommandLinePlay", "The emulator is starting without your controller "
                                                           "settings: they could not be saved in “%1”.")
                                        .arg(folder)));
    });
    int exitCode = 1;
    QString text;
    QObject::connect(&supervisor, &EmulatorSupervisor::taskEndedInWords, [&](const QString &words, int code) {
        text = words;
        exitCode = code;
        QCoreApplication::quit();
    });
    // Ended by the session or Ctrl+C: the emulator is asked to end too, as at Quit.
    UnixSignalWatcher endSignals({SIGTERM, SIGINT, SIGHUP});
    QObject::connect(&endSignals, &UnixSignalWatcher::unixSignal, [&](int signalNumber) {
        supervisor.applicationWillTerminate();
        QCoreApplication::exit(128 + signalNumber);
    });
    supervisor.playPressed(rom.get());
    const int loop = QCoreApplication::exec();
    if (!text.isEmpty())
        return finish(exitCode, text);
    return loop;
}
