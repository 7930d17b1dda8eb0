#include "app/CommandLinePlay.h"

#include "app/SettingsNotice.h"

#include "launch/EmulatorSupervisor.h"
#include "launch/GameSession.h"
#include "launch/PlayStatus.h"
#include "library/PlayHistory.h"
#include "platform/Bundle.h"
#include "platform/SingleInstance.h"
#include "platform/SystemLog.h"
#include "platform/Translations.h"
#include "platform/UnixSignalWatcher.h"
#include "platform/UserDefaults.h"
#include "rom/ROM.h"

#include <QCoreApplication>
#include <QDateTime>

#include <csignal>
#include <cstdio>

namespace {

int finish(int exitCode, const QString &text)
{
    if (exitCode != 0 && !text.isEmpty())
        std::fprintf(stderr, "tolvane-launcher: %s\n", qUtf8Printable(text));
    return exitCode;
}

// Standard error is the caller's answer: only the reason of a failure goes there. Qt's own
// messages still reach the system log.
void logQtMessage(QtMsgType, const QMessageLogContext &, const QString &message)
{
    SystemLog::log(message);
}

} // namespace

int CommandLinePlay::run(int &argc, char **argv, const LocalPath &path)
{
    QCoreApplication app(argc, argv);
    Translations::install(app);
    QCoreApplication::setApplicationName(QStringLiteral("tolvane-launcher"));
    SystemLog::setEchoToStandardError(false);
    qInstallMessageHandler(logQtMessage);
    const LocalPath file = path.absolute();
    SingleInstance instance;
    if (const std::optional<SingleInstance::PlayAnswer> answer = instance.playInRunningInstance(file))
        return finish(answer->taken ? answer->exitCode : int(PlayStatus::AlreadyPlaying), answer->text);
    return playHere(file);
}

int CommandLinePlay::playHere(const LocalPath &path)
{
    // Only the windowed Launcher, which can tell the player, may set an unreadable file aside.
    if (const QString refusal = SettingsNotice::refusalForCommandLine(); !refusal.isEmpty())
        return finish(PlayStatus::BadSettings, refusal);
    UserDefaults &defaults = UserDefaults::standardUserDefaults();
    if (const auto fallbacks = Bundle::dictionaryWithContentsOfFile(
            Bundle::mainBundle().pathForResource(QStringLiteral("Defaults"), QStringLiteral("plist"))))
        defaults.registerDefaults(*fallbacks);

    QString reason;
    const std::shared_ptr<ROM> rom = GameSession::readForPlay(path, &reason);
    if (!rom)
        return finish(PlayStatus::CannotOpen, reason);

    GameSession session;
    session.supervisor()->setBundlePath(Bundle::mainBundle().resourcePath());
    session.supervisor()->readEmulatorConfig();
    // The run counts in the player's history as one played in the window does.
    PlayHistory history;
    history.open();
    QObject::connect(&history, &PlayHistory::problem, [](const QString &message) { SystemLog::log(message); });
    QObject::connect(&session, &GameSession::played, &history, [&history](const QString &md5, qint64 activeMs) {
        if (!md5.isEmpty())
            history.recordRun(md5, QDateTime::currentSecsSinceEpoch(), activeMs);
    });
    QObject::connect(session.supervisor(), &EmulatorSupervisor::inputAutoCfgNotWritable, [](const QString &folder) {
        SystemLog::log(QStringLiteral("The emulator is starting without your controller settings: they could not be saved in “%1”.")
                           .arg(folder));
    });

    // Ended by the session, a kill or Ctrl+C: the game is asked to end, and we end with it
    // (128 + the signal's number); a second signal ends the game at once.
    int endedBySignal = 0;
    UnixSignalWatcher endSignals({SIGTERM, SIGINT, SIGHUP});
    QObject::connect(&endSignals, &UnixSignalWatcher::unixSignal, [&](int signalNumber) {
        if (endedBySignal) {
            session.forceStop();
            return;
        }
        endedBySignal = 128 + signalNumber;
        if (session.supervisor()->task())
            session.stop();
        else
            session.eject();
        if (!session.hasGame())
            QCoreApplication::exit(endedBySignal);
    });
    int exitCode = 1;
    QString text;
    QObject::connect(&session, &GameSession::finished, [&](int code, const QString &words) {
        exitCode = code;
        text = words;
        QCoreApplication::exit(0);
    });
    session.play(rom);
    if (session.hasGame())
        QCoreApplication::exec();
    if (endedBySignal)
        return endedBySignal;
    return finish(exitCode, text);
}
