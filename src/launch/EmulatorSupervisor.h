#pragma once

#include <QObject>
#include <QString>
#include <QVariantMap>

#include <memory>
#include <optional>

class ChildProcess;
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

    /// Reads the "EmulatorOptions" property list once and derives the paths from it.
    void readEmulatorConfig();
    QVariantMap emulatorOptions() const { return m_emulatorOptions; }
    QString tolvanePath() const { return m_tolvanePath; }
    QString coreArg() const { return m_coreArg; }
    QString pluginArg() const { return m_pluginArg; }

    /// The shell command line for a new start of \a rom, from the options and the
    /// current settings; every value is quoted so that nothing in it runs as shell text.
    QString launchCommand(const ROM &rom) const;
    /// Removes the emulator's own configuration file; failures are ignored.
    void removeEmulatorConfigFile() const;
    /// The emulator's configuration file: tolvane/tolvane.cfg in the current user's
    /// config directory ($XDG_CONFIG_HOME, by default ~/.config).
    static QString emulatorConfigFilePath();
    /// Writes InputAutoCfg.ini from the "Mapping" and "Controllers" settings.
    void writeInputAutoCfg() const;
    /// Where writeInputAutoCfg() writes: inside the default build in the resource directory.
    QString inputAutoCfgPath() const;

    ChildProcess *task() const { return m_task.get(); }
    bool taskRunning() const { return m_taskRunning; }
    /// True while a child is held and has not ended (also while it is suspended).
    bool isTaskProcessRunning() const;

    /// New start when no child is held (needs \a rom), else resumes a paused child.
    void playPressed(const ROM *rom);
    void pausePressed();
    void stopPressed();
    /// Eject's part in supervision: flag false, terminate, drop the handle without waiting.
    void clearPressed();
    /// Quitting: asks a held child to end, without waiting.
    void applicationWillTerminate();

Q_SIGNALS:
    /// Emitted after every change of the supervision state.
    void stateChanged();
    /// Emitted when the end notice of a child has been handled, with the log line written
    /// ("Task ended by app" or "Task ended self") and the child's termination status.
    /// Also emitted for a child that Eject dropped; that notice changes no state.
    void taskEnded(const QString &logLine, int terminationStatus);

private:
    void checkATaskStatus(ChildProcess *endedTask);
    // The resource directory followed by the option's value; nothing when the key is absent.
    std::optional<QString> optionPath(const QString &key) const;

    QString m_bundlePath;
    QVariantMap m_emulatorOptions;
    QString m_tolvanePath;
    QString m_coreArg;
    QString m_pluginArg;
    // The values behind coreArg and pluginArg, kept apart so each is quoted as one word.
    std::optional<QString> m_coreLibraryPath;
    std::optional<QString> m_pluginDirectoryPath;
    std::shared_ptr<ChildProcess> m_task;
    bool m_taskRunning = false;
};
