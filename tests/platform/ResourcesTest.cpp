#include "platform/Bundle.h"

#include <QRegularExpression>
#include <QSet>

#include <gtest/gtest.h>

namespace {

QVariantMap resource(const QString &name)
{
    const Bundle &bundle = Bundle::mainBundle();
    const auto dictionary = Bundle::dictionaryWithContentsOfFile(bundle.pathForResource(name, QStringLiteral("plist")));
    return dictionary.value_or(QVariantMap());
}

bool isString(const QVariant &value)
{
    return value.typeId() == QMetaType::QString;
}

TEST(ResourcesTest, DefaultsHoldTheInputNamesAndAParallelRecordPerController)
{
    const QVariantMap defaults = resource(QStringLiteral("Defaults"));
    ASSERT_FALSE(defaults.isEmpty());

    const QVariantList names = defaults.value(QStringLiteral("Mapping")).toList();
    // 14 buttons and the analog stick as four directions.
    ASSERT_EQ(names.size(), 18);
    const QStringList nameTexts = QVariant(names).toStringList();
    EXPECT_EQ(QSet<QString>(nameTexts.begin(), nameTexts.end()).size(), names.size()) << "input names must be unique";
    EXPECT_FALSE(nameTexts.contains(QString()));

    const QVariantMap controllers = defaults.value(QStringLiteral("Controllers")).toMap();
    ASSERT_TRUE(controllers.contains(QStringLiteral("Keyboard")));
    ASSERT_GE(controllers.size(), 3) << "a keyboard and at least two joysticks";

    static const QRegularExpression valueForm(QStringLiteral("^(key\\(-?\\d+\\)|button\\(\\d+\\)|axis\\(\\d+[+-]\\))$"));
    for (auto it = controllers.cbegin(); it != controllers.cend(); ++it) {
        SCOPED_TRACE(it.key().toStdString());
        const QVariantMap record = it.value().toMap();
        EXPECT_TRUE(isString(record.value(QStringLiteral("USBName"))) && !record.value(QStringLiteral("USBName")).toString().isEmpty());
        EXPECT_TRUE(record.contains(QStringLiteral("plugin")) && record.contains(QStringLiteral("mouse")));
        const QVariantList mapping = record.value(QStringLiteral("Mapping")).toList();
        ASSERT_EQ(mapping.size(), names.size()) << "every record's Mapping is parallel to Mapping";
        const bool keyboard = it.key() == QLatin1String("Keyboard");
        for (const QVariant &value : mapping) {
            EXPECT_TRUE(valueForm.match(value.toString()).hasMatch()) << value.toString().toStdString();
            EXPECT_EQ(value.toString().startsWith(QLatin1String("key(")), keyboard) << value.toString().toStdString();
        }
    }

    // On the keyboard the stick sits on the arrow keys (SDL key numbers).
    const QVariantList keyboard = controllers.value(QStringLiteral("Keyboard")).toMap().value(QStringLiteral("Mapping")).toList();
    const QStringList stick{QStringLiteral("Stick Up"), QStringLiteral("Stick Down"), QStringLiteral("Stick Left"), QStringLiteral("Stick Right")};
    const QStringList arrows{QStringLiteral("key(273)"), QStringLiteral("key(274)"), QStringLiteral("key(276)"), QStringLiteral("key(275)")};
    for (int i = 0; i < stick.size(); ++i) {
        const qsizetype row = names.indexOf(stick.at(i));
        ASSERT_GE(row, 0) << stick.at(i).toStdString();
        EXPECT_EQ(keyboard.at(row).toString(), arrows.at(i));
    }
}

TEST(ResourcesTest, FallbackSettingsAndEmulatorOptionsFitTogether)
{
    const QVariantMap defaults = resource(QStringLiteral("Defaults"));
    const QVariantMap options = resource(QStringLiteral("EmulatorOptions"));
    ASSERT_FALSE(options.isEmpty());

    for (const char *key : {"UIConsole", "CoreLibrary", "PluginDirectory"}) {
        const QVariant value = options.value(QString::fromLatin1(key));
        ASSERT_TRUE(isString(value)) << key;
        // Appended to the resource directory with nothing in between.
        EXPECT_TRUE(value.toString().startsWith(QLatin1String("/tolvane.app/Contents/"))) << key;
    }
    const QVariantMap plugins = options.value(QStringLiteral("VideoPlugins")).toMap();
    EXPECT_GE(plugins.size(), 2);
    EXPECT_LE(plugins.size(), 3);
    for (const QVariant &value : plugins)
        EXPECT_TRUE(isString(value) && !value.toString().isEmpty());

    EXPECT_TRUE(plugins.contains(defaults.value(QStringLiteral("VideoPlugin")).toString()))
        << "the fallback video plug-in must be one the options know";
    EXPECT_TRUE(isString(defaults.value(QStringLiteral("Resolution"))));
    EXPECT_EQ(defaults.value(QStringLiteral("Fullscreen")).typeId(), QMetaType::Bool);
    EXPECT_EQ(defaults.value(QStringLiteral("Build")).toString(), QStringLiteral("Default"));
}

} // namespace
