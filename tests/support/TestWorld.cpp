#include "support/TestWorld.h"

#include "platform/Bundle.h"
#include "platform/PropertyList.h"
#include "platform/UserDefaults.h"
#include "support/RomImageBuilder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTest>

#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

namespace {

const char *const kVariables[] = {"HOME", "XDG_CONFIG_HOME", "TOLVANE_FAKE_RECORD", "TOLVANE_FAKE_EXIT",
                                  "TOLVANE_FAKE_CHILD"};

} // namespace

TestWorld::TestWorld(const QString &resourceDirName)
{
    EXPECT_TRUE(m_dir.isValid());
    for (const char *name : kVariables)
        m_savedEnvironment.append(qEnvironmentVariableIsSet(name) ? std::optional(qgetenv(name)) : std::nullopt);
    const QString config = path(QStringLiteral("home/.config"));
    QDir().mkpath(config);
    qputenv("HOME", QFile::encodeName(path(QStringLiteral("home"))));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config));
    qputenv("TOLVANE_FAKE_RECORD", QFile::encodeName(recordPath()));
    qunsetenv("TOLVANE_FAKE_EXIT");
    qunsetenv("TOLVANE_FAKE_CHILD");

    auto defaults = std::make_unique<UserDefaults>(config + QStringLiteral("/tolvane-launcher/settings.plist"));
    const auto shipped = Bundle::dictionaryWithContentsOfFile(
        Bundle::mainBundle().pathForResource(QStringLiteral("Defaults"), QStringLiteral("plist")));
    EXPECT_TRUE(shipped.has_value());
    defaults->registerDefaults(shipped.value_or(QVariantMap()));
    UserDefaults::setStandardUserDefaults(std::move(defaults));

    // Options of our own: a plug-in file name with a blank shows how places 2 to 5 are quoted.
    m_resourcePath = path(resourceDirName);
    for (const char *folder : {"bin", "lib", "plugins", "Resources"})
        QDir().mkpath(contents(QString::fromLatin1(folder)));
    EXPECT_TRUE(QFile::link(fakeEmulatorPath(), contents(QStringLiteral("bin/tolvane-console"))));
    const QVariantMap options{
        {QStringLiteral("UIConsole"), QStringLiteral("/tolvane.app/Contents/bin/tolvane-console")},
        {QStringLiteral("CoreLibrary"), QStringLiteral("/tolvane.app/Contents/lib/libtolvane-core.so")},
        {QStringLiteral("PluginDirectory"), QStringLiteral("/tolvane.app/Contents/plugins")},
        {QStringLiteral("VideoPlugins"), QVariantMap{{QStringLiteral("Crisp Renderer"), QStringLiteral("tolvane-video-crisp.so")},
                                                     {QStringLiteral("Soft"), QStringLiteral("video soft.so")}}}};
    QFile file(m_resourcePath + QStringLiteral("/EmulatorOptions.plist"));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write(PropertyList::toXml(options)) > 0);
}

TestWorld::~TestWorld()
{
    // Later code must not write into a folder that is about to go.
    UserDefaults::setStandardUserDefaults(nullptr);
    for (qsizetype i = 0; i < m_savedEnvironment.size(); ++i) {
        if (m_savedEnvironment.at(i))
            qputenv(kVariables[i], *m_savedEnvironment.at(i));
        else
            qunsetenv(kVariables[i]);
    }
}

QString TestWorld::program(const char *name)
{
    return QCoreApplication::applicationDirPath() + QLatin1Char('/') + QString::fromLatin1(name);
}

void TestWorld::setSetting(const char *key, const QVariant &value)
{
    UserDefaults::standardUserDefaults().setValueForKey(QString::fromLatin1(key), value);
}

QVariant TestWorld::setting(const char *key)
{
    return UserDefaults::standardUserDefaults().valueForKey(QString::fromLatin1(key));
}

void TestWorld::useStandInAsCustomBuild() const
{
    setSetting("Build", QStringLiteral("Custom"));
    setSetting("CustomBuildPath", fakeEmulatorPath());
}

QString TestWorld::writeFile(const QString &name, const QByteArray &bytes) const
{
    QFile file(path(name));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size()) << name.toStdString();
    return file.fileName();
}

QString TestWorld::writeRom(const QString &name, const QByteArray &romName, quint32 crc1, quint32 crc2,
                            const QByteArray &gameCode) const
{
    RomImageBuilder builder;
    // Texts run to the first zero byte.
    builder.setGameCode(gameCode + '\0').setName(romName + '\0').setCRC1(crc1).setCRC2(crc2);
    return writeFile(name, builder.image());
}

QString TestWorld::contents(const QString &relative) const
{
    return m_resourcePath + QStringLiteral("/tolvane.app/Contents/") + relative;
}

bool TestWorld::hasRecord() const
{
    return QFile::exists(recordPath());
}

bool TestWorld::waitForRecord() const
{
    return QTest::qWaitFor([this] { return hasRecord(); }, kTimeoutMs);
}

void TestWorld::clearRecord() const
{
    for (const char *suffix : {"", ".ini", ".pid"})
        QFile::remove(recordPath() + QLatin1String(suffix));
}

QStringList TestWorld::recordedArguments() const
{
    QStringList arguments;
    const QList<QByteArray> parts = readFile(recordPath()).split('\0');
    // Each argument ends with a NUL, so the last part is the empty rest.
    for (qsizetype i = 0; i + 1 < parts.size(); ++i)
        arguments << QFile::decodeName(parts.at(i));
    return arguments;
}

QByteArray TestWorld::recordedIni() const
{
    return readFile(recordPath() + QStringLiteral(".ini"));
}

std::vector<pid_t> TestWorld::recordedPids() const
{
    std::vector<pid_t> pids;
    for (const QByteArray &line : readFile(recordPath() + QStringLiteral(".pid")).split('\n')) {
        if (!line.isEmpty())
            pids.push_back(pid_t(line.toInt()));
    }
    return pids;
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

char processState(pid_t pid)
{
    const QByteArray stat = pid > 0 ? readFile(QStringLiteral("/proc/%1/stat").arg(pid)) : QByteArray();
    // The command name in parentheses may hold blanks; the state follows the last ')'.
    const qsizetype close = stat.lastIndexOf(')');
    return close < 0 || close + 2 >= stat.size() ? 0 : stat.at(close + 2);
}

bool hasEnded(pid_t pid)
{
    const char state = processState(pid);
    return state == 0 || state == 'Z' || state == 'X';
}

bool waitUntilEnded(pid_t pid)
{
    return QTest::qWaitFor([pid] { return hasEnded(pid); }, kTimeoutMs);
}

bool waitForStopped(pid_t pid, bool stopped)
{
    return QTest::qWaitFor([=] { return (processState(pid) == 'T') == stopped; }, kTimeoutMs);
}

StderrCapture::StderrCapture()
{
    std::fflush(stderr);
    m_savedFd = ::dup(STDERR_FILENO);
    const int fd = ::open(QFile::encodeName(m_dir.filePath(QStringLiteral("stderr"))).constData(),
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
    return readFile(m_dir.filePath(QStringLiteral("stderr")));
}
