#include "launch/RunningGame.h"

#include "platform/FileReplacer.h"
#include "platform/XdgFolders.h"

#include <QFile>
#include <QUrl>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

QString recordPath()
{
    const QString folder = RunningGame::folder();
    return folder.isEmpty() ? QString() : folder + QStringLiteral("/running-game");
}

} // namespace

RunningGame::RunningGame() = default;

RunningGame::~RunningGame()
{
    unlock();
}

QString RunningGame::folder()
{
    return XdgFolders::runtime();
}

bool RunningGame::lock()
{
    if (m_locked)
        return true;
    // Beside the single-instance socket, not in our folder, which holds only what a game
    // leaves while it runs.
    const QString folder = XdgFolders::runtimeHome();
    if (folder.isEmpty())
        return m_locked = true;
    if (m_fd < 0)
        m_fd = ::open(QFile::encodeName(folder + QStringLiteral("/tolvane-launcher.playing.lock")).constData(),
                      O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    // A file we cannot open (a full disk) must not keep the player from playing.
    if (m_fd < 0)
        return m_locked = true;
    int result = 0;
    do {
        result = ::flock(m_fd, LOCK_EX | LOCK_NB);
    } while (result != 0 && errno == EINTR);
    return m_locked = result == 0;
}

void RunningGame::unlock()
{
    // Closing the descriptor is what lets the lock go; the file stays for the next holder.
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    m_locked = false;
}

std::optional<quint64> RunningGame::startTimeOf(pid_t pid)
{
    if (pid <= 0)
        return std::nullopt;
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray line = stat.readAll();
    // The command name in parentheses may hold blanks and parentheses: count after the last.
    const qsizetype close = line.lastIndexOf(')');
    if (close < 0)
        return std::nullopt;
    const QList<QByteArray> fields = line.mid(close + 2).split(' ');
    // Field 3 (the state) is the first here, field 22 (starttime) the twentieth.
    if (fields.size() < 20 || fields.at(0) == "Z" || fields.at(0) == "X")
        return std::nullopt;
    bool valid = false;
    const quint64 start = fields.at(19).toULongLong(&valid);
    return valid ? std::optional(start) : std::nullopt;
}

std::optional<RunningGame::Identity> RunningGame::recorded()
{
    const QString path = recordPath();
    QFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::ReadOnly))
        return std::nullopt;
    Identity identity;
    for (const QByteArray &line : file.readAll().split('\n')) {
        const qsizetype equals = line.indexOf('=');
        const QByteArray key = line.left(equals), value = QByteArray::fromPercentEncoding(line.mid(equals + 1));
        if (key == "pid")
            identity.pid = pid_t(value.toInt());
        else if (key == "start")
            identity.startTime = value.toULongLong();
        else if (key == "md5")
            identity.md5 = QString::fromUtf8(value);
        else if (key == "name")
            identity.name = QString::fromUtf8(value);
    }
    if (identity.pid > 0 && startTimeOf(identity.pid) == identity.startTime)
        return identity;
    // Its game has ended (or the file is not ours to read): nothing plays.
    QFile::remove(path);
    return std::nullopt;
}

void RunningGame::record(const Identity &identity)
{
    const QString path = recordPath();
    if (path.isEmpty())
        return;
    const auto line = [](const char *key, const QByteArray &value) {
        return QByteArray(key) + '=' + value.toPercentEncoding() + '\n';
    };
    // Lost to a full disk, the record only costs a restarted Launcher the sight of the game.
    FileReplacer(path, FileReplacer::Durability::Cache)
        .replace(line("pid", QByteArray::number(identity.pid)) + line("start", QByteArray::number(identity.startTime))
                 + line("md5", identity.md5.toUtf8()) + line("name", identity.name.toUtf8()));
}
