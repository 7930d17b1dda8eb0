#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QVariantMap>

#include <sys/types.h>
#include <vector>

/// A private world for one launch test: home and config folders, a fresh settings store
/// with fallbacks, and a resource directory whose default build is the stand-in emulator.
/// The stand-in records into recordPath() (see tests/support/FakeEmulator.cpp).
class LaunchSandbox
{
public:
    /// \a resourceDirName may hold any characters a folder name can hold.
    explicit LaunchSandbox(const QString &resourceDirName = QStringLiteral("Resources"));
    ~LaunchSandbox();

    static QString fakeEmulatorPath();
    static QVariantMap emulatorOptions();
    static QVariantMap defaultSettings();

    QString root() const { return m_dir.path(); }
    QString resourcePath() const { return m_resourcePath; }
    QString consolePath() const;
    QString coreLibraryPath() const;
    QString pluginDirectoryPath() const;
    QString configFilePath() const;
    /// Writes a stale emulator configuration file for the next start to remove.
    void writeConfigFile() const;

    QString recordPath() const { return root() + QStringLiteral("/record"); }
    bool hasRecord() const;
    /// Removes what the stand-in recorded, so the next start's record can be told apart.
    void clearRecord() const;
    QStringList recordedArguments() const;
    QByteArray recordedIni() const;
    std::vector<pid_t> recordedPids() const;

private:
    QTemporaryDir m_dir;
    QString m_resourcePath;
};

/// The state letter of /proc/<pid>/stat ('T' stopped, 'S' sleeping, 'Z' zombie); 0 when
/// there is no such process.
char processState(pid_t pid);
/// True when \a pid has ended: gone, or a zombie. The shell does not replace itself with
/// the emulator, so the emulator is the shell's child and, when both end together, an
/// orphan that init reaps in its own time.
bool hasEnded(pid_t pid);

/// Collects what is written to standard error while it lives.
class StderrCapture
{
public:
    StderrCapture();
    ~StderrCapture();
    /// Everything written so far.
    QByteArray text() const;

private:
    QTemporaryDir m_dir;
    int m_savedFd = -1;
};
