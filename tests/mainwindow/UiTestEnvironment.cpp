#include "UiTestEnvironment.h"

#include "platform/Bundle.h"
#include "platform/UserDefaults.h"
#include "support/RomImageBuilder.h"

#include <QApplication>
#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <memory>

UiTestEnvironment::UiTestEnvironment()
{
    auto defaults = std::make_unique<UserDefaults>(path(QStringLiteral("settings.plist")));
    if (const auto fallbacks = Bundle::dictionaryWithContentsOfFile(
            Bundle::mainBundle().pathForResource(QStringLiteral("Defaults"), QStringLiteral("plist"))))
        defaults->registerDefaults(*fallbacks);
    defaults->setValueForKey(QStringLiteral("Build"), QStringLiteral("Custom"));
    defaults->setValueForKey(QStringLiteral("CustomBuildPath"), fakeEmulatorPath());
    UserDefaults::setStandardUserDefaults(std::move(defaults));
    qputenv("TOLVANE_FAKE_RECORD", QFile::encodeName(recordPath()));
}

UiTestEnvironment::~UiTestEnvironment()
{
    qunsetenv("TOLVANE_FAKE_RECORD");
    qunsetenv("TOLVANE_FAKE_EXIT");
    // Later tests must not see this store, whose file is about to go.
    UserDefaults::setStandardUserDefaults(std::make_unique<UserDefaults>(QDir::tempPath() + QStringLiteral("/unused-tolvane-settings.plist")));
}

int UiTestEnvironment::runAll(int argc, char **argv)
{
    QTemporaryDir home;
    const QByteArray homePath = QFile::encodeName(home.path());
    qputenv("HOME", homePath);
    qputenv("XDG_CONFIG_HOME", homePath + "/.config");
    QDir(home.path()).mkpath(QStringLiteral("runtime"));
    QFile::setPermissions(home.path() + QStringLiteral("/runtime"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("XDG_RUNTIME_DIR", homePath + "/runtime");
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

QString UiTestEnvironment::fakeEmulatorPath()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/tolvane-fake-emulator");
}

QString UiTestEnvironment::launcherPath()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/tolvane-launcher");
}

QString UiTestEnvironment::writeRom(const QString &name, const QByteArray &romName, quint32 crc1, quint32 crc2,
                                    const QByteArray &gameCode) const
{
    RomImageBuilder builder;
    // Texts run to the first zero byte.
    builder.setGameCode(gameCode + '\0').setName(romName + '\0').setCRC1(crc1).setCRC2(crc2).setCic(6102).setSize(8192);
    const QString file = path(name);
    EXPECT_TRUE(builder.writeTo(file));
    return file;
}

QString UiTestEnvironment::writeFile(const QString &name, const QByteArray &bytes) const
{
    QFile file(path(name));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    return file.fileName();
}

bool UiTestEnvironment::hasRecord() const
{
    return QFile::exists(recordPath());
}

void UiTestEnvironment::clearRecord() const
{
    QFile::remove(recordPath());
    QFile::remove(recordPath() + QStringLiteral(".pid"));
    QFile::remove(recordPath() + QStringLiteral(".ini"));
}

QStringList UiTestEnvironment::recordedArguments() const
{
    QFile file(recordPath());
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList arguments;
    const QList<QByteArray> parts = file.readAll().split('\0');
    for (qsizetype i = 0; i + 1 < parts.size(); ++i)
        arguments.append(QString::fromUtf8(parts.at(i)));
    return arguments;
}

pid_t UiTestEnvironment::recordedPid() const
{
    QFile file(recordPath() + QStringLiteral(".pid"));
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    return pid_t(file.readLine().trimmed().toInt());
}

char liveProcessState(pid_t pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (pid <= 0 || !stat.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray text = stat.readAll();
    const qsizetype close = text.lastIndexOf(')');
    if (close < 0 || close + 2 >= text.size())
        return 0;
    const char state = text.at(close + 2);
    return state == 'Z' || state == 'X' ? 0 : state;
}
