#include "platform/UserDefaults.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTimeZone>

#include <gtest/gtest.h>

namespace {

QVariantMap fallbacks()
{
    return {
        {QStringLiteral("Resolution"), QStringLiteral("640x480")},
        {QStringLiteral("Fullscreen"), false},
        {QStringLiteral("Mapping"), QVariantList{QStringLiteral("A"), QStringLiteral("B")}},
        {QStringLiteral("Controllers"),
         QVariantMap{{QStringLiteral("Keyboard"), QVariantMap{{QStringLiteral("USBName"), QStringLiteral("Keyboard")}}}}},
    };
}

class UserDefaultsTest : public ::testing::Test
{
protected:
    QString settingsPath() const { return m_dir.path() + QStringLiteral("/tolvane-launcher/settings.plist"); }
    QTemporaryDir m_dir;
};

TEST_F(UserDefaultsTest, FallbacksAnswerUntilTheUserStoresAValueAndUserValuesSurviveARestart)
{
    {
        UserDefaults defaults(settingsPath());
        defaults.registerDefaults(fallbacks());
        EXPECT_EQ(defaults.valueForKey(QStringLiteral("Resolution")).toString(), QStringLiteral("640x480"));
        EXPECT_FALSE(defaults.boolForKey(QStringLiteral("Fullscreen")));
        EXPECT_FALSE(defaults.boolForKey(QStringLiteral("NoSuchKey")));
        EXPECT_FALSE(defaults.valueForKey(QStringLiteral("NoSuchKey")).isValid());
        ASSERT_TRUE(defaults.arrayForKey(QStringLiteral("Mapping")).has_value());
        EXPECT_EQ(defaults.arrayForKey(QStringLiteral("Mapping"))->size(), 2);
        // Type mismatches answer nothing rather than a converted value.
        EXPECT_FALSE(defaults.arrayForKey(QStringLiteral("Resolution")).has_value());
        EXPECT_FALSE(defaults.dictionaryForKey(QStringLiteral("Mapping")).has_value());
        // Registering alone writes nothing to disk.
        EXPECT_FALSE(QFile::exists(settingsPath()));

        defaults.setValueForKey(QStringLiteral("Resolution"), QStringLiteral("1280x960"));
        defaults.setValueForKey(QStringLiteral("Fullscreen"), true);
        EXPECT_EQ(defaults.valueForKey(QStringLiteral("Resolution")).toString(), QStringLiteral("1280x960"));
        EXPECT_TRUE(defaults.boolForKey(QStringLiteral("Fullscreen")));
        EXPECT_TRUE(QFile::exists(settingsPath()));
    }

    // Next start: a fresh registration does not overwrite what the user stored.
    UserDefaults restarted(settingsPath());
    restarted.registerDefaults(fallbacks());
    EXPECT_EQ(restarted.valueForKey(QStringLiteral("Resolution")).toString(), QStringLiteral("1280x960"));
    EXPECT_TRUE(restarted.boolForKey(QStringLiteral("Fullscreen")));
    // Keys the user never set still come from the fallbacks, which were never persisted.
    EXPECT_TRUE(restarted.dictionaryForKey(QStringLiteral("Controllers")).has_value());
    QFile file(settingsPath());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray stored = file.readAll();
    EXPECT_TRUE(stored.contains("1280x960"));
    EXPECT_FALSE(stored.contains("Controllers"));
}

TEST_F(UserDefaultsTest, EveryPropertyListTypeRoundTripsThroughTheFile)
{
    // XML property-list dates keep whole seconds.
    const QDateTime when(QDate(2026, 12, 6), QTime(10, 30, 15), QTimeZone::utc());
    const QVariantMap record{
        {QStringLiteral("USBName"), QStringLiteral("Pad \u00e9\"<&>")},
        {QStringLiteral("plugin"), 2},
        {QStringLiteral("plugged"), true},
        {QStringLiteral("negative"), -7},
        {QStringLiteral("ratio"), 0.5},
        {QStringLiteral("Mapping"), QVariantList{QStringLiteral("key(97)"), QString()}},
    };
    {
        UserDefaults defaults(settingsPath());
        defaults.setValueForKey(QStringLiteral("Controllers"), QVariantMap{{QStringLiteral("Pad"), record}});
        defaults.setValueForKey(QStringLiteral("ControllersLastModifedDate"), when);
    }
    UserDefaults reread(settingsPath());
    const auto controllers = reread.dictionaryForKey(QStringLiteral("Controllers"));
    ASSERT_TRUE(controllers.has_value());
    const QVariantMap pad = controllers->value(QStringLiteral("Pad")).toMap();
    EXPECT_EQ(pad.value(QStringLiteral("USBName")).toString(), QStringLiteral("Pad \u00e9\"<&>"));
    EXPECT_EQ(pad.value(QStringLiteral("plugin")).toLongLong(), 2);
    EXPECT_EQ(pad.value(QStringLiteral("negative")).toLongLong(), -7);
    EXPECT_DOUBLE_EQ(pad.value(QStringLiteral("ratio")).toDouble(), 0.5);
    EXPECT_TRUE(pad.value(QStringLiteral("plugged")).toBool());
    EXPECT_EQ(pad.value(QStringLiteral("Mapping")).toList(),
              (QVariantList{QStringLiteral("key(97)"), QString()}));
    EXPECT_EQ(reread.valueForKey(QStringLiteral("ControllersLastModifedDate")).toDateTime(), when);
}

TEST_F(UserDefaultsTest, AnUnreadableFileIsKeptAsideAndTheStoreStartsOnFallbacks)
{
    QDir().mkpath(QFileInfo(settingsPath()).absolutePath());
    const QByteArray garbage("<?xml version=\"1.0\"?><plist><dict><key>Resolution</key>");
    {
        QFile file(settingsPath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(garbage);
    }

    UserDefaults defaults(settingsPath());
    defaults.registerDefaults(fallbacks());
    EXPECT_EQ(defaults.valueForKey(QStringLiteral("Resolution")).toString(), QStringLiteral("640x480"));
    ASSERT_FALSE(defaults.movedAsidePath().isEmpty());
    EXPECT_TRUE(defaults.movedAsidePath().startsWith(settingsPath() + QStringLiteral(".unreadable-")));

    // The first write makes a new file and leaves the user's old bytes untouched.
    defaults.setValueForKey(QStringLiteral("Build"), QStringLiteral("Custom"));
    QFile aside(defaults.movedAsidePath());
    ASSERT_TRUE(aside.open(QIODevice::ReadOnly));
    EXPECT_EQ(aside.readAll(), garbage);
    EXPECT_EQ(UserDefaults(settingsPath()).valueForKey(QStringLiteral("Build")).toString(), QStringLiteral("Custom"));
}

TEST_F(UserDefaultsTest, ATopLevelThatIsNotADictionaryCountsAsUnreadable)
{
    QDir().mkpath(QFileInfo(settingsPath()).absolutePath());
    {
        QFile file(settingsPath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("<?xml version=\"1.0\"?><plist version=\"1.0\"><array><string>x</string></array></plist>");
    }
    UserDefaults defaults(settingsPath());
    EXPECT_FALSE(defaults.movedAsidePath().isEmpty());
    EXPECT_FALSE(QFile::exists(settingsPath()));
}

TEST_F(UserDefaultsTest, StandardStoreLivesUnderTheUsersConfigDirectory)
{
    const QByteArray saved = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", m_dir.path().toUtf8());
    EXPECT_EQ(UserDefaults::defaultFilePath(), settingsPath());
    UserDefaults::setStandardUserDefaults(nullptr);
    UserDefaults::standardUserDefaults().setValueForKey(QStringLiteral("Build"), QStringLiteral("Default"));
    EXPECT_TRUE(QFile::exists(settingsPath()));
    UserDefaults::setStandardUserDefaults(nullptr);
    if (saved.isNull())
        qunsetenv("XDG_CONFIG_HOME");
    else
        qputenv("XDG_CONFIG_HOME", saved);
}

} // namespace
