#pragma once

#include <QByteArray>
#include <QList>
#include <QStringList>
#include <QTemporaryDir>
#include <QVariant>

#include "support/Bytes.h"

#include <sys/types.h>
#include <vector>

constexpr int kTimeoutMs = 15000;

/// One test's private world: HOME and XDG_CONFIG_HOME in a temporary folder, a fresh settings
/// store with the shipped fallbacks, a resource directory whose default build is the stand-in
/// emulator (FakeEmulator.cpp), and what the stand-in recorded. The environment comes back after,
/// without the stand-in's TOLVANE_FAKE_… switches.
class TestWorld
{
public:
    /// \a resourceDirName may hold any characters a folder name can hold.
    explicit TestWorld(const QString &resourceDirName = QStringLiteral("Resources"));
    ~TestWorld();

    static QString program(const char *name);
    static QString fakeEmulatorPath() { return program("tolvane-fake-emulator"); }
    static void setSetting(const char *key, const QVariant &value);
    /// The stand-in as the custom build, as a player who chose it in Preferences.
    static void useStandInAsCustomBuild() { setSetting("Build", QStringLiteral("Custom")), setSetting("CustomBuildPath", fakeEmulatorPath()); }
    QString path(const QString &name) const { return m_dir.filePath(name); }
    QString writeFile(const QString &name, const QByteArray &bytes) const;
    /// An 8 KiB z64 image with these header fields.
    QString writeRom(const QString &name, const QByteArray &romName = "SYNTHETIC ROM", quint32 crc1 = 0x12345678,
                     quint32 crc2 = 0x9ABCDEF0) const;
    QString resourcePath() const { return m_resourcePath; }
    /// \a relative inside the default build's folder "tolvane.app/Contents".
    QString contents(const QString &relative) const;
    /// The emulator's own configuration file, which a new start removes.
    QString configFilePath() const { return path(QStringLiteral("home/.config/tolvane/tolvane.cfg")); }
    /// XDG_RUNTIME_DIR (and so the extraction folder) in a private folder "run" of this world,
    /// for this process and the Launchers it starts, until the world ends; its path.
    QString useOwnRuntimeFolder() const;

    bool waitForRecord() const;
    void clearRecord() const;
    QStringList recordedArguments() const;
    QByteArray recordedIni() const;
    /// The stand-in's pid, then its helper's (TOLVANE_FAKE_CHILD=1).
    std::vector<pid_t> recordedPids() const;

private:
    QTemporaryDir m_dir;
    QString m_resourcePath;
    QList<QByteArray> m_savedEnvironment;
};

/// The state letter of /proc/<pid>/stat ('T' stopped, 'Z' zombie); 0 when there is none.
char processState(pid_t pid);
/// Gone or a zombie (an orphan is reaped by init in its own time).
bool waitUntilEnded(pid_t pid);
/// Waits until every one of \a pids is stopped, or with false until all run again.
bool waitForStopped(const std::vector<pid_t> &pids, bool stopped = true);
