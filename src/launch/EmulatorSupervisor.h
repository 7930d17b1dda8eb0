#pragma once

#include <QHash>
#include <QObject>
#include <QString>
#include <QTimer>
#include <QVariantMap>

#include <memory>
#include <optional>

#include "settings/EffectiveSettings.h"
#include "launch/LaunchPlan.h"

class CallerOutput;
class ChildProcess;
class EmulatorOutputLog;
class ROM;

/// Starts the emulator's console program for a ROM and supervises it: Play starts or
/// resumes, Pause suspends, Stop asks it to end, Eject drops it. One child at a time.
///
/// The main window owns one supervisor and forwards its toolbar actions here.
class EmulatorSupervisor : public QObject
{
    Q_OBJECT

public:
    explicit EmulatorSupervisor(QObject *parent = nullptr);
    ~EmulatorSupervisor() override;

    /// The Launcher's resource directory; set before readEmulatorConfig().
    void setBundlePath(const QString &bundlePath);
    QString bundlePath() const { return m_bundlePath; }

    /// Reads the "EmulatorOptions" property list once.
    void readEmulatorConfig();
    QVariantMap emulatorOptions() const { return m_emulatorOptions; }

    /// Where a player's own default build is looked for first:
    /// $XDG_DATA_HOME/tolvane-launcher (by default ~/.local/share/tolvane-launcher).
    static QString userDefaultBuildLocation();
    /// The default build's location in use, looked up afresh at each call: the folder that
    /// holds its "tolvane.app" and that the option paths ("UIConsole", "CoreLibrary",
    /// "PluginDirectory") are relative to. That is userDefaultBuildLocation() when it holds
    /// the console program, otherwise the resource directory beside the Launcher.
    QString defaultBuildLocation() const;
    /// The default build's console program, "--corelib PATH" and "--plugindir PATH", all
    /// from defaultBuildLocation().
    QString tolvanePath() const;
    QString coreArg() const;
    QString pluginArg() const;

    /// The effective settings of \a rom's game (the global ones without a ROM), checked
    /// against the video plug-ins of the options.
    EffectiveSettings settingsFor(const ROM *rom) const;

    /// The console program that a new start of \a rom would run: the custom build's path
    /// when its effective "Build" is "Custom", else the default build's. Empty when none
    /// is set.
    QString executablePath(const ROM *rom = nullptr) const;

    /// Why a new start of \a rom would find no program to run (none chosen, not there, not
    /// a program), in a sentence; empty when the program is there.
    QString startProblem(const ROM *rom) const;

    /// The shell command line for a new start of \a rom, from the options and the
    /// ROM's effective settings; every value is quoted so that nothing in it runs as
    /// shell text.
    QString launchCommand(const ROM &rom) const;
    /// The same command as /bin/sh gets it: the ROM's path as its own bytes, which need
    /// not be UTF-8 (launchCommand() shows such bytes as U+FFFD).
    QByteArray launchCommandBytes(const ROM &rom) const;
    /// Removes the emulator's own configuration file; failures are ignored.
    void removeEmulatorConfigFile() const;
    /// The emulator's configuration file: tolvane/tolvane.cfg in the current user's
    /// config directory ($XDG_CONFIG_HOME, by default ~/.config).
    static QString emulatorConfigFilePath();
    /// Everything a new start of \a rom would be made of, from the options, the settings
    /// and the default build found now.
    LaunchPlan planFor(const ROM &rom) const;
    /// The plan of the latest start.
    const LaunchPlan &runningPlan() const { return m_runningPlan; }
    /// Writes the plan's InputAutoCfg.ini (from the "Mapping" setting and the effective
    /// "Controllers" of the game); false when it could not be written.
    bool writeInputAutoCfg(const LaunchPlan &plan) const;
    /// Where writeInputAutoCfg() writes: inside the default build in use.
    QString inputAutoCfgPath() const;

    ChildProcess *task() const { return m_task.get(); }
    bool taskRunning() const { return m_taskRunning; }
    /// True while a child is held and has not ended (also while it is suspended).
    bool isTaskProcessRunning() const;

    /// New start when no child is held (needs \a rom), else resumes a paused child.
    void playPressed(const ROM *rom);
    /// The environment ("NAME=value" each) of the next new start only, instead of ours: that
    /// of a "--play" handed over to us. Nothing: ours.
    void setEnvironmentForNextStart(const std::optional<QList<QByteArray>> &environment) { m_nextEnvironment = environment; }
    /// Where the next new start's output and error are passed on instead of our own streams:
    /// those of a "--play" handed over to us (the output log keeps its copy all the same).
    void setOutputForNextStart(const std::shared_ptr<CallerOutput> &output) { m_nextOutput = output; }
    void pausePressed();
    /// Asks the game to end (a paused one continues, so that it can) and says so until it
    /// has: isStopping(). Offers Force Stop after forceStopDelay().
    void stopPressed();
    /// True from Stop until the game, every process of its group, has ended.
    bool isStopping() const;
    /// True once a Stop has waited forceStopDelay() without the game ending.
    bool forceStopOffered() const { return m_forceStopOffered; }
    /// Ends a stopping game at once (SIGKILL to its group).
    void forceStopPressed();
    static constexpr int kForceStopDelayMs = 5000;
    void setForceStopDelay(int milliseconds) { m_forceStopDelayMs = milliseconds; }
    /// Eject's part in supervision: flag false, terminate, drop the handle without waiting.
    void clearPressed();
    /// Quitting: asks a held child to end, then keeps reading its output until it has
    /// ended, for at most kTerminationWaitMs.
    void applicationWillTerminate();
    static constexpr int kTerminationWaitMs = 3000;
    /// With what is held back, at most a minute of play is told late.
    static constexpr int kCheckpointIntervalMs = 55000;
    /// A run shorter than this does not count in the history (GameHistory::kMinimumPlayMs).
    static constexpr qint64 kHeldBackMs = 5000;
    void setCheckpoints(int intervalMs, qint64 heldBackMs) { m_checkpointTimer.setInterval(intervalMs), m_heldBackMs = heldBackMs; }

    /// What the latest run wrote, with the command that started it.
    EmulatorOutputLog *outputLog() const { return m_outputLog; }

    /// How a child's end reads to people: stopped by us, quit, an exit status, a crash
    /// by a signal (the shell reports a command's death by signal N as status 128 + N),
    /// or a program that was not found or lacks its interpreter or a library (status 127).
    static QString endingText(bool stopRequested, bool bySignal, int status, const QString &executable);
    /// The same end as a shell would report it: 0 for a quit or a Stop, 128 + N for a
    /// crash by signal N, else the emulator's exit status.
    static int exitCodeFor(bool stopRequested, bool bySignal, int status);

Q_SIGNALS:
    /// Emitted after every change of the supervision state.
    void stateChanged();
    /// Emitted when the end notice of a child has been handled, with the log line written
    /// ("Task ended by app" or "Task ended self") and the child's termination status.
    /// Also emitted for a child that Eject dropped; that notice changes no state.
    void taskEnded(const QString &logLine, int terminationStatus);
    /// Emitted at most once per supervisor (the main window keeps one for the session) when
    /// the default build was started but InputAutoCfg.ini could not be written into
    /// \a folder, so the emulator does not get the player's controller mapping.
    void inputAutoCfgNotWritable(const QString &folder);
    /// The end of the held child, or of a dropped one while none is held, in plain words
    /// (endingText()), with the exit status a command line would report (exitCodeFor()).
    void taskEndedInWords(const QString &text, int exitCode);
    /// Time played, so that a Launcher killed during play loses at most a minute of it: at a
    /// start (0 ms: the game was played now), every kCheckpointIntervalMs while it runs, and
    /// at each child's end (before taskEnded()), with the MD5 of the ROM it was started with
    /// and the time it ran, pauses not counted, since the last time told. Until the end a
    /// run keeps kHeldBackMs back, so that its last part is never too short to count.
    void played(const QString &md5, qint64 addedMilliseconds);
    /// The emulator's program is there but could not be started (status 127): what its
    /// standard error said, now in outputLog(), tells why.
    void outputExplainsEnd();

private:
    // The command's words before the ROM's path.
    QStringList launchWords(const EffectiveSettings &settings, const QString &location) const;
    // True when the effective "Build" is exactly "Custom".
    static bool customBuildChosen(const EffectiveSettings &settings);
    void checkATaskStatus(ChildProcess *endedTask);
    void offerForceStop();
    void checkpoint();
    // \a location followed by the option's value; nothing when the key is absent.
    std::optional<QString> optionPath(const QString &location, const QString &key) const;
    void passOnOutput(ChildProcess *task, int channel, const QByteArray &bytes);
    // The console program a new start would run, with the default build at \a location.
    QString executablePath(const EffectiveSettings &settings, const QString &location) const;

    QString m_bundlePath;
    QVariantMap m_emulatorOptions;
    std::shared_ptr<ChildProcess> m_task;
    bool m_taskRunning = false;
    bool m_toldNotWritable = false;
    LaunchPlan m_runningPlan;
    QTimer m_forceStopTimer;
    int m_forceStopDelayMs = kForceStopDelayMs;
    bool m_forceStopOffered = false;
    EmulatorOutputLog *m_outputLog = nullptr;
    // The child whose output the log keeps, and each running child's program.
    std::weak_ptr<ChildProcess> m_latestRun;
    QHash<const ChildProcess *, QString> m_executables;
    QHash<const ChildProcess *, QString> m_runMD5s;
    // What each running child's run has told of its time so far.
    QHash<const ChildProcess *, qint64> m_toldMs;
    QTimer m_checkpointTimer;
    qint64 m_heldBackMs = kHeldBackMs;
    std::optional<QList<QByteArray>> m_nextEnvironment;
    std::shared_ptr<CallerOutput> m_nextOutput;
    // Each child's own streams to pass its output on to, kept as long as its pipes are read.
    QHash<const ChildProcess *, std::shared_ptr<CallerOutput>> m_callerOutputs;
};
