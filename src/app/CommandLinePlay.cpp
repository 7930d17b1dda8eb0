#include "app/CommandLinePlay.h"

#include "app/SettingsNotice.h"

#include "launch/EmulatorSupervisor.h"
#include "launch/EntryExtractor.h"
#include "mainwindow/WindowController.h"
#include "platform/Bundle.h"
#include "platform/SingleInstance.h"
#include "platform/UnixSignalWatcher.h"
#include "platform/UserDefaults.h"
#include "rom/ROM.h"
#include "rom/RomArchive.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QScopeGuard>
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

QString cannotOpen(const LocalPath &path, const QString &reason)
{
    return WindowController::cannotOpenText(path.displayText(), reason).replace(QStringLiteral("\n\n"), QStringLiteral(" "));
}

// An archive's one image, extracted for the emulator (which takes plain files) as the
// Launcher's Play does: the copy's path, or empty with *error set (left empty when a signal
// ended the wait).
QString extractTheOneImage(const LocalPath &path, const std::shared_ptr<ROM> &entry, QString *error)
{
    EntryExtractor extractor;
    QEventLoop loop;
    QString copy;
    bool done = false;
    QObject::connect(&extractor, &EntryExtractor::finished, &loop, [&](const QString &filePath, const QString &why) {
        copy = filePath;
        *error = why;
        done = true;
        loop.quit();
    });
    extractor.start(path, *entry->archiveIndex(), *entry->archiveEntry());
    if (!done)
        loop.exec();
    if (!error->isEmpty())
        *error = QCoreApplication::translate("CommandLinePlay", "\u201c%1 \u25b8 %2\u201d cannot be played. %3")
                     .arg(path.displayText(), *entry->archiveEntry(), *error);
    return copy;
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

    // Only the windowed Launcher, which can tell the player, may set an unreadable file aside.
    if (const QString refusal = SettingsNotice::refusalForCommandLine(); !refusal.isEmpty())
        return finish(1, refusal);
    UserDefaults &defaults = UserDefaults::standardUserDefaults();
    if (const auto fallbacks = Bundle::dictionaryWithContentsOfFile(
            Bundle::mainBundle().pathForResource(QStringLiteral("Defaults"), QStringLiteral("plist"))))
        defaults.registerDefaults(*fallbacks);

    // Ended by the session or Ctrl+C: the emulator is asked to end too, as at Quit.
    int endedBySignal = 0;
    EmulatorSupervisor supervisor;
    UnixSignalWatcher endSignals({SIGTERM, SIGINT, SIGHUP});
    QObject::connect(&endSignals, &UnixSignalWatcher::unixSignal, [&](int signalNumber) {
        supervisor.applicationWillTerminate();
        endedBySignal = 128 + signalNumber;
        QCoreApplication::exit(endedBySignal);
    });

    const bool isArchive = RomArchive::hasArchiveExtension(path.bytes().constData(), std::size_t(path.bytes().size()));
    std::vector<std::shared_ptr<ROM>> images{isArchive ? RomArchive::readImages(path.toUrl())
                                                       : std::vector{ROM::romFromURL(path.toUrl())}};
    if (images.size() > 1)
        return finish(1, cannotOpen(path, QCoreApplication::translate("CommandLinePlay",
                                                                      "The archive holds %1 ROM images; --play takes an "
                                                                      "archive with one (open it in the Launcher to choose).")
                                              .arg(images.size())));
    std::shared_ptr<ROM> rom = images.front();
    if (!rom || !rom->isValid())
        return finish(1, cannotOpen(path, rom ? rom->refusalReason() : QString()));
    QString copy;
    const auto removeCopy = qScopeGuard([&copy] {
        if (!copy.isEmpty())
            QFile::remove(copy);
    });
    if (isArchive) {
        QString error;
        copy = extractTheOneImage(path, rom, &error);
        if (copy.isEmpty())
            return endedBySignal ? endedBySignal : finish(1, error);
        rom = EntryExtractor::plainCopy(rom.get(), copy);
    }

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
    if (endedBySignal)
        return endedBySignal;
    supervisor.playPressed(rom.get());
    const int loop = QCoreApplication::exec();
    if (!text.isEmpty())
        return finish(exitCode, text);
    return loop;
}
