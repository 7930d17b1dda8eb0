#include "support/TestWorld.h"

#include "platform/UserDefaults.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTimeZone>

#include <gtest/gtest.h>

namespace {

QVariantMap fallbacks()
{
    return {{QStringLiteral("Resolution"), QStringLiteral("640x480")},
            {QStringLiteral("Fullscreen"), false},
            {QStringLiteral("Mapping"), QVariantList{QStringLiteral("A"), QStringLiteral("B")}},
            {QStringLiteral("Controllers"), QVariantMap{{QStringLiteral("Keyboard"), QVariantMap()}}}};
}

class UserDefaultsTest : public ::testing::Test
{
protected:
    TestWorld world;
    const QString settingsPath = world.path(QStringLiteral("home/.config/tolvane-launcher/settings.plist"));
};

TEST_F(UserDefaultsTest, FallbacksAnswerUntilTheUserStoresAValueAndUserValuesSurviveARestart)
{
    {
        UserDefaults defaults(settingsPath);
        defaults.registerDefaults(fallbacks());
        EXPECT_EQ(defaults.valueForKey(QStringLiteral("Resolution")).toString(), QStringLiteral("640x480"));
        EXPECT_FALSE(defaults.boolForKey(QStringLiteral("Fullscreen")) || defaults.boolForKey(QStringLiteral("NoSuchKey")));
        EXPECT_FALSE(defaults.valueForKey(QStringLiteral("NoSuchKey")).isValid());
        EXPECT_EQ(defaults.arrayForKey(QStringLiteral("Mapping")).value_or(QVariantList()).size(), 2);
        // Type mismatches answer nothing rather than a converted value.
        EXPECT_FALSE(defaults.arrayForKey(QStringLiteral("Resolution")) || defaults.dictionaryForKey(QStringLiteral("Mapping")));
        // Registering alone writes nothing to disk.
        EXPECT_FALSE(QFile::exists(settingsPath));
        defaults.setValueForKey(QStringLiteral("Resolution"), QStringLiteral("1280x960"));
        defaults.setValueForKey(QStringLiteral("Fullscreen"), true);
        EXPECT_EQ(defaults.valueForKey(QStringLiteral("Resolution")).toString(), QStringLiteral("1280x960"));
    }
    // Next start: a fresh registration does not overwrite what the user stored.
    UserDefaults restarted(settingsPath);
    restarted.registerDefaults(fallbacks());
    EXPECT_EQ(restarted.valueForKey(QStringLiteral("Resolution")).toString(), QStringLiteral("1280x960"));
    EXPECT_TRUE(restarted.boolForKey(QStringLiteral("Fullscreen")));
    // Keys the user never set still come from the fallbacks, which were never persisted.
    EXPECT_TRUE(restarted.dictionaryForKey(QStringLiteral("Controllers")).has_value());
    EXPECT_FALSE(readFile(settingsPath).contains("Controllers"));
}

TEST_F(UserDefaultsTest, EveryPropertyListTypeRoundTripsThroughTheFile)
{
    // XML property-list dates keep whole seconds.
    const QDateTime when(QDate(2026, 12, 6), QTime(10, 30, 15), QTimeZone::utc());
    const QVariantMap record{{QStringLiteral("USBName"), QStringLiteral("Pad \u00e9\"<&>")}, {QStringLiteral("plugin"), 2},
                             {QStringLiteral("plugged"), true}, {QStringLiteral("negative"), -7},
                             {QStringLiteral("ratio"), 0.5}, {QStringLiteral("Mapping"), QVariantList{QStringLiteral("key(97)"), QString()}}};
    UserDefaults(settingsPath).setValueForKey(QStringLiteral("Controllers"), QVariantMap{{QStringLiteral("Pad"), record}});
    UserDefaults(settingsPath).setValueForKey(QStringLiteral("ControllersLastModifedDate"), when);
    UserDefaults reread(settingsPath);
    const QVariantMap pad = reread.dictionaryForKey(QStringLiteral("Controllers")).value_or(QVariantMap()).value(QStringLiteral("Pad")).toMap();
    EXPECT_EQ(pad.value(QStringLiteral("USBName")).toString(), QStringLiteral("Pad \u00e9\"<&>"));
    EXPECT_EQ(pad.value(QStringLiteral("plugin")).toLongLong(), 2);
    EXPECT_EQ(pad.value(QStringLiteral("negative")).toLongLong(), -7);
    EXPECT_DOUBLE_EQ(pad.value(QStringLiteral("ratio")).toDouble(), 0.5);
    EXPECT_TRUE(pad.value(QStringLiteral("plugged")).toBool());
    EXPECT_EQ(pad.value(QStringLiteral("Mapping")).toList(), (QVariantList{QStringLiteral("key(97)"), QString()}));
    EXPECT_EQ(reread.valueForKey(QStringLiteral("ControllersLastModifedDate")).toDateTime(), when);
}

TEST_F(UserDefaultsTest, AnUnreadableFileIsKeptAsideAndTheStoreStartsOnFallbacks)
{
    QDir().mkpath(QFileInfo(settingsPath).absolutePath());
    // Broken XML, and a top level that is not a dictionary.
    for (const QByteArray &garbage : {QByteArray("<?xml version=\"1.0\"?><plist><dict><key>Resolution</key>"),
                                     QByteArray("<?xml version=\"1.0\"?><plist version=\"1.0\"><array><string>x</string></array></plist>")}) {
        world.writeFile(QStringLiteral("home/.config/tolvane-launcher/settings.plist"), garbage);
        UserDefaults defaults(settingsPath);
        defaults.registerDefaults(fallbacks());
        EXPECT_EQ(defaults.valueForKey(QStringLiteral("Resolution")).toString(), QStringLiteral("640x480"));
        EXPECT_TRUE(defaults.movedAsidePath().startsWith(settingsPath + QStringLiteral(".unreadable-")));
        EXPECT_FALSE(QFile::exists(settingsPath));
        // The first write makes a new file and leaves the user's old bytes untouched.
        defaults.setValueForKey(QStringLiteral("Build"), QStringLiteral("Custom"));
        EXPECT_EQ(readFile(defaults.movedAsidePath()), garbage);
        EXPECT_EQ(UserDefaults(settingsPath).valueForKey(QStringLiteral("Build")).toString(), QStringLiteral("Custom"));
    }
}

TEST_F(UserDefaultsTest, StandardStoreLivesUnderTheUsersConfigDirectory)
{
    EXPECT_EQ(UserDefaults::defaultFilePath(), settingsPath);
    UserDefaults::setStandardUserDefaults(nullptr);
    TestWorld::setSetting("Build", QStringLiteral("Default"));
    EXPECT_TRUE(QFile::exists(settingsPath));
}

} // namespace
