#include "platform/Bundle.h"
#include "platform/PropertyList.h"

#include <QFile>
#include <QTemporaryDir>

#include <plist/plist.h>

#include <gtest/gtest.h>

namespace {

TEST(BundleTest, ResourcesAreFoundByNameAndTypeAndMissingOrUnreadableOnesYieldNothing)
{
    QTemporaryDir dir;
    const auto write = [&](const char *name, const QByteArray &bytes) {
        QFile file(dir.filePath(QString::fromLatin1(name)));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
        return file.fileName();
    };
    write("Options.plist", "<?xml version=\"1.0\"?><plist version=\"1.0\"><dict><key>UIConsole</key><string>/c</string></dict></plist>");
    const Bundle bundle(dir.path() + QStringLiteral("/"));
    EXPECT_EQ(bundle.resourcePath(), dir.path());
    EXPECT_EQ(bundle.pathForResource(QStringLiteral("Options"), QStringLiteral("plist")), dir.filePath(QStringLiteral("Options.plist")));
    EXPECT_TRUE(bundle.pathForResource(QStringLiteral("Missing"), QStringLiteral("plist")).isEmpty());
    const auto options = Bundle::dictionaryWithContentsOfFile(bundle.pathForResource(QStringLiteral("Options"), QStringLiteral("plist")));
    EXPECT_EQ(options.value_or(QVariantMap()).value(QStringLiteral("UIConsole")).toString(), QStringLiteral("/c"));

    for (const QString &path : {QString(), dir.filePath(QStringLiteral("Missing.plist")), write("Broken.plist", "not a property list"),
                                write("List.plist", "<?xml version=\"1.0\"?><plist version=\"1.0\"><array/></plist>"), dir.path()})
        EXPECT_FALSE(Bundle::dictionaryWithContentsOfFile(path).has_value()) << path.toStdString();

    // Binary lists, converted by libplist's own writer, read like XML ones.
    const QVariantMap original{{QStringLiteral("Name"), QStringLiteral("Pad")}, {QStringLiteral("Count"), 3},
                               {QStringLiteral("List"), QVariantList{true, 1.5, QStringLiteral("x")}}};
    const QByteArray xml = PropertyList::toXml(original);
    plist_t root = nullptr;
    plist_from_xml(xml.constData(), uint32_t(xml.size()), &root);
    ASSERT_NE(root, nullptr);
    char *bin = nullptr;
    uint32_t length = 0;
    plist_to_bin(root, &bin, &length);
    const QByteArray binary(bin, qsizetype(length));
    plist_to_bin_free(bin);
    plist_free(root);
    ASSERT_TRUE(binary.startsWith("bplist"));
    const QVariantMap read = Bundle::dictionaryWithContentsOfFile(write("B.plist", binary)).value_or(QVariantMap());
    EXPECT_EQ(read.value(QStringLiteral("Name")).toString(), QStringLiteral("Pad"));
    EXPECT_EQ(read.value(QStringLiteral("Count")).toLongLong(), 3);
    EXPECT_EQ(read.value(QStringLiteral("List")).toList(), original.value(QStringLiteral("List")).toList());
}

TEST(BundleTest, MainBundleIsTheShareFolderBesideTheExecutable)
{
    const Bundle &bundle = Bundle::mainBundle();
    EXPECT_TRUE(bundle.resourcePath().endsWith(QStringLiteral("/share/tolvane-launcher")));
    EXPECT_FALSE(bundle.pathForResource(QStringLiteral("Defaults"), QStringLiteral("plist")).isEmpty());
}

} // namespace
