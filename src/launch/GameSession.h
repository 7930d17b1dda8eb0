#pragma once

#include "launch/LaunchPlan.h"
#include "launch/RunningGame.h"

#include <QObject>
#include <QString>

#include <memory>

class EmulatorSupervisor;
class EntryExtractor;
class LeftGame;
class LocalPath;
class ROM;

/// The one road to the emulator: the game being played and Play, Pause, Stop, Force Stop
/// and Eject on it, the extraction of an archive's image before its start and the removal
/// of that copy after, the end of the run and what it is recorded as. The window and
/// "--play" (with or without a window) ask it; neither starts a process of its own.
///
/// Without Qt Widgets: a view shows what the signals tell.
class GameSession : public QObject
{
    Q_OBJECT

public:
    explicit GameSession(QObject *parent = nullptr);
    ~GameSession() override;

    EmulatorSupervisor *supervisor() const { return m_supervisor; }

    /// The game asked for, from Play until its run has ended (also while its image is
    /// extracted); none otherwise.
    std::shared_ptr<ROM> game() const { return m_game; }
    /// True while a game is held: extracting, running, paused or stopping.
    bool hasGame() const;
    bool isExtracting() const;
    /// True while the emulator runs (also paused or stopping), ours or one left running.
    bool isRunning() const;
    /// True from Stop until the game has ended.
    bool isStopping() const;
    /// True once a Stop has waited long enough for Force Stop to be offered.
    bool forceStopOffered() const;
    /// The game a Launcher now gone left running, while it runs; null otherwise.
    LeftGame *leftGame() const { return m_left.get(); }
    /// Takes hold of a game that a Launcher now gone left running (recorded in the runtime
    /// folder): it shows as running, Stop and Force Stop act on it, and no other game starts
    /// until it has ended. False when there is none (or another process plays).
    bool takeLeftGame();
    /// The name of the file the running game was started from (an archive's entry name).
    QString runningFileName() const { return m_runningFileName; }
    /// What the running start is made of.
    const LaunchPlan &plan() const;
    /// What is going on with the game in plain words for a status line: "Running FILE"
    /// (with the own settings the start used), "Paused FILE", "Stopping…"; empty without
    /// a game (its end is told by the supervisor's taskEndedInWords()).
    QString statusText() const;

    /// Reads \a path for a play without a chooser: a ROM image, or an archive that holds
    /// exactly one. Null, with the reason in \a reason, when it cannot be played.
    static std::shared_ptr<ROM> readForPlay(const LocalPath &path, QString *reason);
    /// The path as the player knows it: "Game.zip ▸ Game (E).z64" for an archive's image.
    static QString displayPath(const ROM &rom);

    /// Play: without a game held, a new start of \a rom (an archive's image is extracted
    /// first); with one, resumes it if paused. A start that cannot begin tells startFailed().
    void play(const std::shared_ptr<ROM> &rom);
    void pause();
    void stop();
    void forceStop();
    /// Drops the game: an extraction is cancelled, the emulator asked to end and let go.
    void eject();
    void cancelExtraction();
    /// Quitting: the game is asked to end and given a few seconds; its copy is removed.
    void applicationWillTerminate();

Q_SIGNALS:
    /// After every change of what can be done with the game.
    void stateChanged();
    void extractionStarted(const QString &entry);
    /// \a done of \a total bytes (total -1 when the archive does not say).
    void extractionProgress(qint64 done, qint64 total);
    void extractionEnded();
    /// The emulator was started as plan() says.
    void started();
    /// A new start could not begin (nothing was started): \a exitCode is the Launcher's own
    /// (PlayStatus); \a message a sentence for the player, empty after a cancelled extraction.
    void startFailed(int exitCode, const QString &message);
    /// Every Play that began a new start ends here once: after startFailed(), or when the
    /// run has ended, with the status a command line reports and the end in words.
    void finished(int exitCode, const QString &text);
    /// The game left running by a Launcher now gone has ended, in words.
    void leftGameEnded(const QString &text);
    /// Time played of the game with this MD5, pauses not counted: 0 ms at the start, then
    /// what was played since it was last told, at least every minute and at the end.
    void played(const QString &md5, qint64 addedMilliseconds);

private:
    void start(const ROM &playable);
    void extractionFinished(const QString &filePath, const QString &error);
    void fail(int exitCode, const QString &message);
    void taskEnded();
    void removeExtracted();
    // Lets the user's play lock go once no game is held any more.
    void unlockWhenIdle();

    EmulatorSupervisor *m_supervisor;
    EntryExtractor *m_extractor;
    std::shared_ptr<ROM> m_game;
    QString m_extractedPath;
    QString m_runningFileName;
    RunningGame m_playing;
    std::unique_ptr<LeftGame> m_left;
};
