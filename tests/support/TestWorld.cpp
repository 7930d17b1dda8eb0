#include "support/TestWorld.h"

#include "platform/Bundle.h"
#include "platform/PropertyList.h"
#include "platform/UserDefaults.h"
#include "support/Bytes.h"
#include "support/RomImageBuilder.h"

#include <QCoreApplication>
#include <QDir>
#include <QTest>

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>

TestWorld::TestWorld(const QString &resourceDirName)
    : m_resourcePath(path(resourceDirName)), m_savedEnvironment{qgetenv("HOME"), qgetenv("XDG_CONFIG_HOME"), qgetenv("XDG_RUNTIME_DIR")}
{
    const QString config = path(QStringLiteral("home/.config"));
    EXPECT_TRUE(QDir().mkpath(config));
    qputenv("HOME", QFile::encodeName(path(QStringLiteral("home"))));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config));
    qputenv("TOLVANE_FAKE_RECORD", QFile::encodeName(path(QStringLiteral("record"))));
    auto defaults = std::make_unique<UserDefaults>(config + QStringLiteral("/tolvane-launcher/settings.plist"));
    defaults->registerDefaults(Bundle::dictionaryWithContentsOfFile(
        Bundle::mainBundle().pathForResource(QStringLiteral("Defaults"), QStringLiteral("plist"))).value_or(QVariantMap()));
    UserDefaults::setStandardUserDefaults(std::move(defaults));

    // Options of our own: a plug-in file name with a blank shows how options are quoted.
    EXPECT_TRUE(QDir().mkpath(contents(QStringLiteral("bin"))) && QDir().mkpath(contents(QStringLiteral("Resources"))));
    EXPECT_TRUE(QFile::link(fakeEmulatorPath(), contents(QStringLiteral("bin/tolvane-console"))));
    const QVariantMap options{
        {QStringLiteral("UIConsole"), QStringLiteral("/tolvane.app/Contents/bin/tolvane-console")},
        {QStringLiteral("CoreLibrary"), QStringLiteral("/tolvane.app/Contents/lib/libtolvane-core.so")},
        {QStringLiteral("PluginDirectory"), QStringLiteral("/tolvane.app/Contents/plugins")},
        {QStringLiteral("VideoPlugins"), QVariantMap{{QStringLiteral("Crisp Renderer"), QStringLiteral("tolvane-video-crisp.so")},
                                                     {QStringLiteral("Soft"), QStringLiteral("video soft.so")}}}};
    writeFile(resourceDirName + QStringLiteral("/EmulatorOptions.plist"), PropertyList::toXml(options));
}

TestWorld::~TestWorld()
{
    // Later code must not write into a folder that is about to go.
    UserDefaults::setStandardUserDefaults(nullptr);
    // By bytes: QTemporaryDir leaves names that are not UTF-8 (and their folders) behind.
    std::error_code ignored;
    std::filesystem::remove_all(QFile::encodeName(m_dir.path()).toStdString(), ignored);
    qputenv("HOME", m_savedEnvironment.at(0));
    qputenv("XDG_CONFIG_HOME", m_savedEnvironment.at(1));
    m_savedEnvironment.at(2).isNull() ? qunsetenv("XDG_RUNTIME_DIR") : qputenv("XDG_RUNTIME_DIR", m_savedEnvironment.at(2));
    for (const char *name : {"TOLVANE_FAKE_RECORD", "TOLVANE_FAKE_EXIT", "TOLVANE_FAKE_CHILD", "TOLVANE_FAKE_ON_TERM", "TOLVANE_FAKE_FLOOD", "TOLVANE_FAKE_PROGRESS"})
        qunsetenv(name);
}

QString TestWorld::program(const char *name)
{
    return QCoreApplication::applicationDirPath() + QLatin1Char('/') + QString::fromLatin1(name);
}

void TestWorld::setSetting(const char *key, const QVariant &value)
{
    UserDefaults::standardUserDefaults().setValueForKey(QString::fromLatin1(key), value);
}

QString TestWorld::writeFile(const QString &name, const QByteArray &bytes) const
{
    EXPECT_TRUE(writeBytes(path(name), bytes)) << name.toStdString();
    return path(name);
}

QString TestWorld::writeRom(const QString &name, const QByteArray &romName, quint32 crc1, quint32 crc2) const
{
    // Texts run to the first zero byte.
    return writeFile(name, RomImageBuilder().setName(romName + '\0').setGameCode("NTVE" + QByteArray(1, '\0'))
                               .setCRC1(crc1).setCRC2(crc2).image());
}

QString TestWorld::contents(const QString &relative) const
{
    return m_resourcePath + QStringLiteral("/tolvane.app/Contents/") + relative;
}

QString TestWorld::useOwnRuntimeFolder() const
{
    const QString run = path(QStringLiteral("run"));
    EXPECT_TRUE(QDir().mkpath(run) && QFile::setPermissions(run, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(run));
    return run;
}

bool TestWorld::waitForRecord() const
{
    return QTest::qWaitFor([this] { return QFile::exists(path(QStringLiteral("record"))); }, kTimeoutMs);
}

void TestWorld::clearRecord() const
{
    for (const char *name : {"record", "record.ini", "record.pid"})
        QFile::remove(path(QString::fromLatin1(name)));
}

QStringList TestWorld::recordedArguments() const
{
    QStringList arguments;
    QByteArray record = readFile(path(QStringLiteral("record")));
    record.chop(1); // each argument ends with a NUL
    for (const QByteArray &part : record.split('\0'))
        arguments << QFile::decodeName(part);
    return arguments;
}

QByteArray TestWorld::recordedIni() const
{
    return readFile(path(QStringLiteral("record.ini")));
}

std::vector<pid_t> TestWorld::recordedPids() const
{
    std::vector<pid_t> pids;
    for (const QByteArray &line : readFile(path(QStringLiteral("record.pid"))).trimmed().split('\n'))
        pids.push_back(pid_t(line.toInt()));
    return pids;
}

char processState(pid_t pid)
{
    const QByteArray stat = pid > 0 ? readFile(QStringLiteral("/proc/%1/stat").arg(pid)) : QByteArray();
    // The command name in parentheses may hold blanks; the state follows the last ')'.
    const qsizetype close = stat.lastIndexOf(')');
    return close < 0 || close + 2 >= stat.size() ? 0 : stat.at(close + 2);
}

bool waitUntilEnded(pid_t pid)
{
    return QTest::qWaitFor([pid] { return QByteArray("\0ZX", 3).contains(processState(pid)); }, kTimeoutMs);
}

bool waitForStopped(const std::vector<pid_t> &pids, bool stopped)
{
    return QTest::qWaitFor([&] {
        return std::all_of(pids.begin(), pids.end(), [&](pid_t pid) { return (processState(pid) == 'T') == stopped; });
    }, kTimeoutMs);
}
