#include "support/TestWorld.h"

#include "platform/Bundle.h"
#include "platform/PropertyList.h"
#include "platform/UserDefaults.h"

#include <QDateTime>
#include <QDir>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimeZone>

#include <gtest/gtest.h>

#include <unistd.h>

namespace {

const QVariantMap kFallbacks{{QStringLiteral("Resolution"), QStringLiteral("640x480")},
                             {QStringLiteral("Mapping"), QVariantList{QStringLiteral("A"), QStringLiteral("B")}},
                             {QStringLiteral("Controllers"), QVariantMap{{QStringLiteral("Keyboard"), QVariantMap()}}}};

class UserDefaultsTest : public ::testing::Test
{
protected:
    TestWorld world;
    const QString settingsPath = world.path(QStringLiteral("home/.config/tolvane-launcher/settings.plist"));
};

TEST_F(UserDefaultsTest, FallbacksAnswerUntilTheUserStoresAValueAndUserValuesOfEveryTypeSurviveARestart)
{
    // XML property-list dates keep whole seconds.
    const QDateTime when(QDate(2026, 12, 6), QTime(10, 30, 15), QTimeZone::utc());
    const QVariantMap record{{QStringLiteral("USBName"), QStringLiteral("Pad \u00e9\"<&>")}, {QStringLiteral("plugin"), 2},
                             {QStringLiteral("plugged"), true}, {QStringLiteral("negative"), -7}, {QStringLiteral("ratio"), 0.5},
                             {QStringLiteral("when"), when}, {QStringLiteral("Mapping"), QVariantList{QStringLiteral("key(97)"), QString()}}};
    {
        UserDefaults defaults(settingsPath);
        defaults.registerDefaults(kFallbacks);
        EXPECT_EQ(defaults.valueForKey(QStringLiteral("Resolution")).toString(), QStringLiteral("640x480"));
        EXPECT_FALSE(defaults.valueForKey(QStringLiteral("NoSuchKey")).isValid() || defaults.boolForKey(QStringLiteral("NoSuchKey")));
        // Type mismatches answer nothing rather than a converted value.
        EXPECT_FALSE(defaults.arrayForKey(QStringLiteral("Resolution")) || defaults.dictionaryForKey(QStringLiteral("Mapping")));
        EXPECT_FALSE(QFile::exists(settingsPath)) << "registering alone writes nothing";
        defaults.setValueForKey(QStringLiteral("Resolution"), QStringLiteral("1280x960"));
        defaults.setValueForKey(QStringLiteral("Pad"), record);
    }
    UserDefaults restarted(settingsPath);
    restarted.registerDefaults(kFallbacks);
    EXPECT_EQ(restarted.valueForKey(QStringLiteral("Resolution")).toString(), QStringLiteral("1280x960"));
    EXPECT_EQ(restarted.dictionaryForKey(QStringLiteral("Pad")), record);
    // Keys the user never set still come from the fallbacks, which were never written.
    EXPECT_TRUE(restarted.dictionaryForKey(QStringLiteral("Controllers")).has_value());
    EXPECT_FALSE(readFile(settingsPath).contains("Controllers"));
}

TEST_F(UserDefaultsTest, TheFileIsReplacedWholeAndAnUnreadableOneIsKeptAside)
{
    // A write replaces the file by renaming a new one over it: a reader (or a crash) never
    // sees it half-written, and a link to the old file keeps the old bytes.
    UserDefaults(settingsPath).setValueForKey(QStringLiteral("Build"), QStringLiteral("Default"));
    const QByteArray before = readFile(settingsPath);
    const QString old = world.path(QStringLiteral("old.plist"));
    ASSERT_EQ(::link(QFile::encodeName(settingsPath).constData(), QFile::encodeName(old).constData()), 0);
    UserDefaults(settingsPath).setValueForKey(QStringLiteral("Build"), QStringLiteral("Custom"));
    EXPECT_EQ(readFile(old), before);
    EXPECT_TRUE(readFile(settingsPath).contains("Custom"));

    // Broken XML, and a top level that is not a dictionary.
    for (const QByteArray &garbage : {QByteArray("<?xml version=\"1.0\"?><plist><dict><key>Resolution</key>"),
                                     QByteArray("<?xml version=\"1.0\"?><plist version=\"1.0\"><array><string>x</string></array></plist>")}) {
        world.writeFile(QStringLiteral("home/.config/tolvane-launcher/settings.plist"), garbage);
        UserDefaults defaults(settingsPath);
        defaults.registerDefaults(kFallbacks);
        EXPECT_EQ(defaults.valueForKey(QStringLiteral("Resolution")).toString(), QStringLiteral("640x480"));
        EXPECT_TRUE(defaults.movedAsidePath().startsWith(settingsPath + QStringLiteral(".unreadable-")));
        defaults.setValueForKey(QStringLiteral("Build"), QStringLiteral("Custom"));
        EXPECT_EQ(readFile(defaults.movedAsidePath()), garbage);
        EXPECT_EQ(UserDefaults(settingsPath).valueForKey(QStringLiteral("Build")).toString(), QStringLiteral("Custom"));
    }
    EXPECT_EQ(UserDefaults::defaultFilePath(), settingsPath);
}

TEST(BundleTest, ResourcesAreFoundByNameAndTypeAndAnythingButADictionaryYieldsNothing)
{
    QTemporaryDir dir;
    const auto write = [&](const char *name, const QByteArray &bytes) {
        QFile file(dir.filePath(QString::fromLatin1(name)));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
        return file.fileName();
    };
    const QVariantMap original{{QStringLiteral("Name"), QStringLiteral("Pad")}, {QStringLiteral("List"), QVariantList{true, 1.5, QStringLiteral("x")}}};
    write("Options.plist", PropertyList::toXml(original));
    const Bundle bundle(dir.path() + QStringLiteral("/"));
    EXPECT_EQ(bundle.resourcePath(), dir.path());
    EXPECT_EQ(Bundle::dictionaryWithContentsOfFile(bundle.pathForResource(QStringLiteral("Options"), QStringLiteral("plist"))), original);
    EXPECT_TRUE(bundle.pathForResource(QStringLiteral("Missing"), QStringLiteral("plist")).isEmpty());
    for (const QString &path : {QString(), dir.filePath(QStringLiteral("Missing.plist")), write("Broken.plist", "not a property list"),
                                write("List.plist", "<?xml version=\"1.0\"?><plist version=\"1.0\"><array/></plist>"), dir.path()})
        EXPECT_FALSE(Bundle::dictionaryWithContentsOfFile(path).has_value()) << path.toStdString();
}

TEST(BundleTest, ShippedFallbacksGiveEveryControllerAValuePerInputAndTheKeyboardStickTheArrows)
{
    const Bundle &bundle = Bundle::mainBundle();
    EXPECT_TRUE(bundle.resourcePath().endsWith(QStringLiteral("/share/tolvane-launcher")));
    const auto read = [&](const char *name) {
        return Bundle::dictionaryWithContentsOfFile(bundle.pathForResource(QString::fromLatin1(name), QStringLiteral("plist"))).value_or(QVariantMap());
    };
    const QVariantMap defaults = read("Defaults"), options = read("EmulatorOptions");
    const QStringList names = defaults.value(QStringLiteral("Mapping")).toStringList();
    const QVariantMap controllers = defaults.value(QStringLiteral("Controllers")).toMap();
    ASSERT_TRUE(controllers.contains(QStringLiteral("Keyboard")));
    static const QRegularExpression valueForm(QStringLiteral("^(key\\(\\d+\\)|button\\(\\d+\\)|axis\\(\\d+[+-]\\))$"));
    for (auto it = controllers.cbegin(); it != controllers.cend(); ++it) {
        const QStringList mapping = it.value().toMap().value(QStringLiteral("Mapping")).toStringList();
        ASSERT_EQ(mapping.size(), names.size()) << it.key().toStdString();
        for (const QString &value : mapping)
            EXPECT_TRUE(valueForm.match(value).hasMatch() && value.startsWith(QLatin1String("key(")) == (it.key() == QLatin1String("Keyboard")))
                << it.key().toStdString() << " " << value.toStdString();
    }
    const QStringList keyboard = controllers.value(QStringLiteral("Keyboard")).toMap().value(QStringLiteral("Mapping")).toStringList();
    const std::pair<const char *, const char *> stick[] = {{"Stick Up", "key(273)"}, {"Stick Down", "key(274)"},
                                                           {"Stick Left", "key(276)"}, {"Stick Right", "key(275)"}};
    for (const auto &[name, key] : stick)
        EXPECT_EQ(keyboard.value(names.indexOf(QLatin1String(name))), QLatin1String(key)) << name;
    // The fallback plug-in is one the options know, and option paths hang off the resource folder.
    EXPECT_TRUE(options.value(QStringLiteral("VideoPlugins")).toMap().contains(defaults.value(QStringLiteral("VideoPlugin")).toString()));
    for (const char *key : {"UIConsole", "CoreLibrary", "PluginDirectory"})
        EXPECT_TRUE(options.value(QLatin1String(key)).toString().startsWith(QLatin1String("/tolvane.app/Contents/"))) << key;
}

} // namespace
