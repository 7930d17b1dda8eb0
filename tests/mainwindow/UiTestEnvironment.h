#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <sys/types.h>

/// A private world for one window test: a fresh settings store with the shipped fallbacks,
/// set to run the stand-in emulator as a custom build, recording into recordPath().
class UiTestEnvironment
{
public:
    UiTestEnvironment();
    ~UiTestEnvironment();

    /// Runs the tests of one executable: home, config and runtime folders are temporary.
    static int runAll(int argc, char **argv);

    static QString fakeEmulatorPath();
    static QString launcherPath();

    QString root() const { return m_dir.path(); }
    QString path(const QString &name) const { return root() + QLatin1Char('/') + name; }
    /// Writes a synthetic ROM image and returns its path.
    QString writeRom(const QString &name, const QByteArray &romName = QByteArrayLiteral("SYNTHETIC ROM"),
                     quint32 crc1 = 0x12345678, quint32 crc2 = 0x9ABCDEF0, const QByteArray &gameCode = "NTVE") const;
    QString writeFile(const QString &name, const QByteArray &bytes) const;

    QString recordPath() const { return path(QStringLiteral("record")); }
    bool hasRecord() const;
    void clearRecord() const;
    QStringList recordedArguments() const;
    /// The stand-in's own pid, or 0 before it recorded.
    pid_t recordedPid() const;

private:
    QTemporaryDir m_dir;
};

/// The state letter of /proc/<pid>/stat ('T' stopped); 0 when there is no such process
/// or it is a zombie.
char liveProcessState(pid_t pid);
