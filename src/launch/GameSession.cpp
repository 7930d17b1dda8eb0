#include "launch/GameSession.h"

#include "launch/EmulatorSupervisor.h"
#include "launch/EntryExtractor.h"
#include "launch/LeftGame.h"
#include "launch/PlayStatus.h"
#include "platform/ChildProcess.h"
#include "platform/LocalPath.h"
#include "rom/ROM.h"
#include "rom/RomArchive.h"
#include "rom/RomSource.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUrl>

GameSession::GameSession(QObject *parent)
    : QObject(parent)
    , m_supervisor(new EmulatorSupervisor(this))
    , m_extractor(new EntryExtractor(this))
{
    connect(m_supervisor, &EmulatorSupervisor::stateChanged, this, &GameSession::stateChanged);
    connect(m_supervisor, &EmulatorSupervisor::played, this, &GameSession::played);
    connect(m_supervisor, &EmulatorSupervisor::taskEndedInWords, this,
            [this](const QString &text, int exitCode) { Q_EMIT finished(exitCode, text); });
    connect(m_supervisor, &EmulatorSupervisor::taskEnded, this, &GameSession::taskEnded);
    connect(m_extractor, &EntryExtractor::progress, this, &GameSession::extractionProgress);
    connect(m_extractor, &EntryExtractor::finished, this, &GameSession::extractionFinished);
}

GameSession::~GameSession()
{
    removeExtracted();
}

bool GameSession::hasGame() const
{
    return m_supervisor->task() || isExtracting() || m_left;
}

bool GameSession::isRunning() const
{
    return m_supervisor->isTaskProcessRunning() || m_left;
}

bool GameSession::isStopping() const
{
    return m_left ? m_left->isStopping() : m_supervisor->isStopping();
}

bool GameSession::forceStopOffered() const
{
    return m_left ? m_left->forceStopOffered() : m_supervisor->forceStopOffered();
}

bool GameSession::takeLeftGame()
{
    if (hasGame() || !m_playing.lock())
        return false;
    if (const std::optional<RunningGame::Identity> identity = RunningGame::recorded())
        m_left = LeftGame::take(*identity);
    if (!m_left) {
        m_playing.unlock();
        return false;
    }
    connect(m_left.get(), &LeftGame::stateChanged, this, &GameSession::stateChanged);
    connect(m_left.get(), &LeftGame::ended, this, [this](bool stopped) {
        // Gone from the event loop: we are inside its own notice.
        LeftGame *left = m_left.release();
        left->deleteLater();
        RunningGame::recorded();
        unlockWhenIdle();
        // Only the time since we took it is ours to tell; its Launcher told the rest.
        Q_EMIT played(left->identity().md5, left->elapsedMilliseconds());
        Q_EMIT leftGameEnded(stopped ? tr("The emulator stopped.")
                                     : tr("The game started before the Launcher was closed has ended."));
        Q_EMIT stateChanged();
    });
    Q_EMIT stateChanged();
    return true;
}

bool GameSession::isExtracting() const
{
    return m_extractor->isRunning();
}

const LaunchPlan &GameSession::plan() const
{
    return m_supervisor->runningPlan();
}

QString GameSession::displayPath(const ROM &rom)
{
    const std::optional<QUrl> url = rom.filePath();
    QString path = url ? (url->isLocalFile() ? QDir::toNativeSeparators(url->toLocalFile()) : url->toDisplayString()) : QString();
    if (const std::optional<QString> entry = rom.archiveEntry())
        path = RomArchive::entryDisplayName(path, *entry);
    return path;
}

std::shared_ptr<ROM> GameSession::readForPlay(const LocalPath &path, QString *reason)
{
    const RomSource source(path.toUrl());
    const auto cannotOpen = [&](const QString &why) {
        *reason = tr("\u201c%1\u201d cannot be opened. %2")
                      .arg(path.displayText(), why.isEmpty() ? tr("The file could not be read.") : why);
        return nullptr;
    };
    // Several images are refused from the archive's headers, before any of them is read.
    if (source.kind() == RomSource::Kind::Archive) {
        if (const std::size_t count = source.listImages().entries.size(); count > 1)
            return cannotOpen(tr("The archive holds %n ROM images; --play takes an archive with one (open it in the "
                                 "Launcher to choose).",
                                 nullptr, int(count)));
    }
    const std::shared_ptr<ROM> rom = source.read();
    if (!rom || !rom->isValid())
        return cannotOpen(rom ? rom->refusalReason() : QString());
    return rom;
}

void GameSession::play(const std::shared_ptr<ROM> &rom)
{
    if (m_supervisor->task()) {
        m_supervisor->playPressed(nullptr);
        return;
    }
    if (isExtracting() || !rom)
        return;
    // One game at a time per user, whoever started it: another window, a --play, or a
    // Launcher that was killed and left its emulator running.
    if (!m_playing.lock() || RunningGame::recorded())
        return fail(PlayStatus::AlreadyPlaying, tr("An emulator is already running; it was left as it is."));
    if (const QString problem = m_supervisor->startProblem(rom.get()); !problem.isEmpty())
        return fail(PlayStatus::NoEmulator, problem);
    m_game = rom;
    // The emulator takes plain files: an archive's image is extracted first, off this thread.
    if (rom->archiveEntry() && rom->archiveIndex() && rom->filePath()) {
        removeExtracted();
        m_extractor->start(LocalPath::fromUrl(*rom->filePath()), *rom->archiveIndex(), *rom->archiveEntry());
        if (isExtracting())
            Q_EMIT extractionStarted(*rom->archiveEntry());
        Q_EMIT stateChanged();
        return;
    }
    start(*rom);
}

void GameSession::start(const ROM &playable)
{
    // Named before the start, which tells of the new state at once.
    const std::optional<QString> entry = m_game ? m_game->archiveEntry() : std::nullopt;
    m_runningFileName = entry ? *entry : playable.filePath() ? QFileInfo(playable.filePath()->toLocalFile()).fileName() : QString();
    m_supervisor->playPressed(&playable);
    if (!m_supervisor->task()) {
        m_game.reset();
        removeExtracted();
        unlockWhenIdle();
        return;
    }
    // Outlives us: a Launcher started after a kill finds the emulator by it.
    const pid_t pid = m_supervisor->task()->processIdentifier();
    if (const std::optional<quint64> startTime = RunningGame::startTimeOf(pid))
        RunningGame::record({pid, *startTime, plan().md5, m_runningFileName});
    Q_EMIT started();
}

QString GameSession::statusText() const
{
    if (m_left && !m_left->isStopping())
        return tr("A game started before the Launcher was closed is still running.");
    if (!m_supervisor->task() && !m_left)
        return QString();
    // "Stopped" only once it has: a game may take seconds to save.
    if (isStopping())
        return forceStopOffered()
            ? tr("Stopping… The emulator has not ended yet; Force Stop ends it without letting it save.")
            : tr("Stopping…");
    if (!m_supervisor->taskRunning())
        return tr("Paused %1").arg(m_runningFileName);
    // A game's own settings must never surprise: say which ones this start really used.
    const QString settings = EffectiveSettings::startedWithText(plan().ownGroupsUsed);
    return settings.isEmpty() ? tr("Running %1").arg(m_runningFileName) : tr("Running %1. %2").arg(m_runningFileName, settings);
}

void GameSession::extractionFinished(const QString &filePath, const QString &error)
{
    Q_EMIT extractionEnded();
    const std::shared_ptr<ROM> game = m_game;
    if (filePath.isEmpty()) {
        m_game.reset();
        if (game)
            fail(PlayStatus::CannotOpen, error.isEmpty() ? QString()
                                                         : tr("\u201c%1\u201d cannot be played.\n\n%2").arg(displayPath(*game), error));
        return;
    }
    m_extractedPath = filePath;
    // Ejected while extracting: not what the player asks for any more.
    if (!game)
        return removeExtracted();
    start(*EntryExtractor::plainCopy(game.get(), filePath));
}

void GameSession::fail(int exitCode, const QString &message)
{
    unlockWhenIdle();
    Q_EMIT startFailed(exitCode, message);
    Q_EMIT stateChanged();
    Q_EMIT finished(exitCode, message.isEmpty() ? tr("The extraction was cancelled.")
                                                : QString(message).replace(QStringLiteral("\n\n"), QStringLiteral(" ")));
}

void GameSession::pause()
{
    m_supervisor->pausePressed();
}

void GameSession::stop()
{
    if (m_left)
        return m_left->stop();
    m_supervisor->stopPressed();
}

void GameSession::forceStop()
{
    if (m_left)
        return m_left->forceStop();
    m_supervisor->forceStopPressed();
}

void GameSession::eject()
{
    m_game.reset();
    cancelExtraction();
    m_supervisor->clearPressed();
    unlockWhenIdle();
}

void GameSession::cancelExtraction()
{
    m_extractor->cancel();
}

void GameSession::applicationWillTerminate()
{
    cancelExtraction();
    m_supervisor->applicationWillTerminate();
    removeExtracted();
}

void GameSession::taskEnded()
{
    // The extracted copy was the emulator's alone; a newer start has its own.
    // Its record goes with it (the record of a newer start names a process that runs).
    RunningGame::recorded();
    if (m_supervisor->task() || isExtracting())
        return;
    m_game.reset();
    removeExtracted();
    unlockWhenIdle();
}

void GameSession::unlockWhenIdle()
{
    if (!hasGame())
        m_playing.unlock();
}

void GameSession::removeExtracted()
{
    if (!m_extractedPath.isEmpty())
        QFile::remove(m_extractedPath);
    m_extractedPath.clear();
}
