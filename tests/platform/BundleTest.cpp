#include "platform/Bundle.h"
#include "platform/PropertyList.h"

#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

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
