#include "LaunchSandbox.h"

#include "platform/PropertyList.h"
#include "platform/UserDefaults.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

namespace {

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeAll(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    file.write(bytes);
}

} // namespace

LaunchSandbox::LaunchSandbox(const QString &resourceDirName)
{
    EXPECT_TRUE(m_dir.isValid());
    const QString home = root() + QStringLiteral("/home");
    QDir().mkpath(home + QStringLiteral("/.config"));
    qputenv("HOME", QFile::encodeName(home));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home + QStringLiteral("/.config")));
    qunsetenv("TOLVANE_FAKE_EXIT");
    qunsetenv("TOLVANE_FAKE_CHILD");
    qputenv("TOLVANE_FAKE_RECORD", QFile::encodeName(recordPath()));

    m_resourcePath = root() + QLatin1Char('/') + resourceDirName;
    const QString app = m_resourcePath + QStringLiteral("/tolvane.app/Contents");
    QDir().mkpath(app + QStringLiteral("/bin"));
    QDir().mkpath(app + QStringLiteral("/lib"));
    QDir().mkpath(app + QStringLiteral("/plugins"));
    QDir().mkpath(app + QStringLiteral("/Resources"));
    EXPECT_TRUE(QFile::link(fakeEmulatorPath(), consolePath()));
    writeAll(m_resourcePath + QStringLiteral("/EmulatorOptions.plist"), PropertyList::toXml(emulatorOptions()));

    auto defaults = std::make_unique<UserDefaults>(home + QStringLiteral("/.config/tolvane-launcher/settings.plist"));
    defaults->registerDefaults(defaultSettings());
    UserDefaults::setStandardUserDefaults(std::move(defaults));
}

LaunchSandbox::~LaunchSandbox()
{
    qunsetenv("TOLVANE_FAKE_RECORD");
    qunsetenv("TOLVANE_FAKE_EXIT");
    qunsetenv("TOLVANE_FAKE_CHILD");
}

QString LaunchSandbox::fakeEmulatorPath()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/tolvane-fake-emulator");
}

QVariantMap LaunchSandbox::emulatorOptions()
{
    return {
        {QStringLiteral("UIConsole"), QStringLiteral("/tolvane.app/Contents/bin/tolvane-console")},
        {QStringLiteral("CoreLibrary"), QStringLiteral("/tolvane.app/Contents/lib/libtolvane-core.so")},
        {QStringLiteral("PluginDirectory"), QStringLiteral("/tolvane.app/Contents/plugins")},
        {QStringLiteral("VideoPlugins"),
         QVariantMap{{QStringLiteral("Crisp Renderer"), QStringLiteral("tolvane-video-crisp.so")},
                     {QStringLiteral("Soft"), QStringLiteral("video soft.so")}}},
    };
}

QVariantMap LaunchSandbox::defaultSettings()
{
    return {
        {QStringLiteral("Mapping"), QVariantList{QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("Start")}},
        {QStringLiteral("Controllers"),
         QVariantMap{{QStringLiteral("Keyboard"),
                      QVariantMap{{QStringLiteral("USBName"), QStringLiteral("Keyboard")},
                                  {QStringLiteral("plugged"), true},
                                  {QStringLiteral("plugin"), 2},
                                  {QStringLiteral("Mapping"),
                                   QVariantList{QStringLiteral("key(120)"), QStringLiteral("key(99)"),
                                                QStringLiteral("key(13)")}}}}}},
        {QStringLiteral("VideoPlugin"), QStringLiteral("Crisp Renderer")},
        {QStringLiteral("Resolution"), QStringLiteral("640x480")},
        {QStringLiteral("Fullscreen"), false},
        {QStringLiteral("Build"), QStringLiteral("Default")},
    };
}

QString LaunchSandbox::consolePath() const
{
    return m_resourcePath + QStringLiteral("/tolvane.app/Contents/bin/tolvane-console");
}

QString LaunchSandbox::coreLibraryPath() const
{
    return m_resourcePath + QStringLiteral("/tolvane.app/Contents/lib/libtolvane-core.so");
}

QString LaunchSandbox::pluginDirectoryPath() const
{
    return m_resourcePath + QStringLiteral("/tolvane.app/Contents/plugins");
}

QString LaunchSandbox::configFilePath() const
{
    return root() + QStringLiteral("/home/.config/tolvane/tolvane.cfg");
}

void LaunchSandbox::writeConfigFile() const
{
    QDir().mkpath(root() + QStringLiteral("/home/.config/tolvane"));
    writeAll(configFilePath(), "stale emulator settings\n");
}

bool LaunchSandbox::hasRecord() const
{
    return QFile::exists(recordPath());
}

void LaunchSandbox::clearRecord() const
{
    QFile::remove(recordPath());
    QFile::remove(recordPath() + QStringLiteral(".ini"));
    QFile::remove(recordPath() + QStringLiteral(".pid"));
}

QStringList LaunchSandbox::recordedArguments() const
{
    QByteArray bytes = readAll(recordPath());
    QStringList arguments;
    if (bytes.isEmpty() || !bytes.endsWith('\0'))
        return arguments;
    bytes.chop(1);
    for (const QByteArray &argument : bytes.split('\0'))
        arguments << QFile::decodeName(argument);
    return arguments;
}

QByteArray LaunchSandbox::recordedIni() const
{
    return readAll(recordPath() + QStringLiteral(".ini"));
}

std::vector<pid_t> LaunchSandbox::recordedPids() const
{
    std::vector<pid_t> pids;
    for (const QByteArray &line : readAll(recordPath() + QStringLiteral(".pid")).split('\n')) {
        if (!line.isEmpty())
            pids.push_back(pid_t(line.toInt()));
    }
    return pids;
}

char processState(pid_t pid)
{
    const QByteArray stat = readAll(QStringLiteral("/proc/%1/stat").arg(pid));
    // The command name in parentheses may hold blanks; the state follows the last ')'.
    const qsizetype close = stat.lastIndexOf(')');
    if (close < 0 || close + 2 >= stat.size())
        return 0;
    return stat.at(close + 2);
}

bool hasEnded(pid_t pid)
{
    const char state = processState(pid);
    return state == 0 || state == 'Z' || state == 'X';
}

StderrCapture::StderrCapture()
{
    std::fflush(stderr);
    m_savedFd = ::dup(STDERR_FILENO);
    const int fd = ::open(QFile::encodeName(m_dir.path() + QStringLiteral("/stderr")).constData(),
                          O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ::dup2(fd, STDERR_FILENO);
    ::close(fd);
}

StderrCapture::~StderrCapture()
{
    std::fflush(stderr);
    ::dup2(m_savedFd, STDERR_FILENO);
    ::close(m_savedFd);
}

QByteArray StderrCapture::text() const
{
    std::fflush(stderr);
    return readAll(m_dir.path() + QStringLiteral("/stderr"));
}
