#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QVariant>

#include <optional>
#include <sys/types.h>
#include <vector>

constexpr int kTimeoutMs = 15000;

/// A private world for one test: HOME and XDG_CONFIG_HOME in a temporary folder, a fresh
/// settings store there with the shipped fallbacks, a resource directory whose default
/// build is the stand-in emulator, and what the stand-in records (tests/support/FakeEmulator.cpp).
/// The environment it changes is given back when it goes.
class TestWorld
{
public:
    /// \a resourceDirName may hold any characters a folder name can hold.
    explicit TestWorld(const QString &resourceDirName = QStringLiteral("Resources"));
    ~TestWorld();

    /// A program built beside the test executables.
    static QString program(const char *name);
    static QString fakeEmulatorPath() { return program("tolvane-fake-emulator"); }
    static void setSetting(const char *key, const QVariant &value);
    static QVariant setting(const char *key);
    /// The stand-in as the custom build, as a player who chose it in Preferences.
    void useStandInAsCustomBuild() const;

    QString root() const { return m_dir.path(); }
    QString path(const QString &name) const { return root() + QLatin1Char('/') + name; }
    QString writeFile(const QString &name, const QByteArray &bytes) const;
    /// An 8 KiB z64 image with these header fields; returns its path.
    QString writeRom(const QString &name, const QByteArray &romName = "SYNTHETIC ROM", quint32 crc1 = 0x12345678,
                     quint32 crc2 = 0x9ABCDEF0, const QByteArray &gameCode = "NTVE") const;

    QString resourcePath() const { return m_resourcePath; }
    /// \a relative inside the default build's folder "tolvane.app/Contents" of resourcePath().
    QString contents(const QString &relative) const;
    /// The emulator's own configuration file, which a new start removes.
    QString configFilePath() const { return path(QStringLiteral("home/.config/tolvane/tolvane.cfg")); }

    QString recordPath() const { return path(QStringLiteral("record")); }
    bool hasRecord() const;
    bool waitForRecord() const;
    /// Removes what the stand-in recorded, so the next start's record can be told apart.
    void clearRecord() const;
    QStringList recordedArguments() const;
    QByteArray recordedIni() const;
    /// The stand-in's pid, then its helper's (TOLVANE_FAKE_CHILD=1); empty before it recorded.
    std::vector<pid_t> recordedPids() const;

private:
    QTemporaryDir m_dir;
    QString m_resourcePath;
    QList<std::optional<QByteArray>> m_savedEnvironment;
};

QByteArray readFile(const QString &path);
/// The state letter of /proc/<pid>/stat ('T' stopped, 'Z' zombie); 0 when there is none.
char processState(pid_t pid);
/// Gone or a zombie: the emulator may be an orphan that init reaps in its own time.
bool hasEnded(pid_t pid);
bool waitUntilEnded(pid_t pid);
/// Waits until \a pid is stopped, or with false until it runs again.
bool waitForStopped(pid_t pid, bool stopped = true);

/// Collects what is written to standard error while it lives.
class StderrCapture
{
public:
    StderrCapture();
    ~StderrCapture();
    QByteArray text() const;

private:
    QTemporaryDir m_dir;
    int m_savedFd = -1;
};
