#include "platform/Bundle.h"
#include "platform/PropertyList.h"

#include <QFile>
#include <QTemporaryDir>

#include <plist/plist.h>

#include <gtest/gtest.h>

namespace {

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

TEST(BundleTest, ResourcesAreFoundByNameAndTypeAndMissingOnesYieldNothing)
{
    QTemporaryDir dir;
    writeFile(dir.path() + QStringLiteral("/Options.plist"),
              "<?xml version=\"1.0\"?><plist version=\"1.0\"><dict><key>UIConsole</key><string>/c</string></dict></plist>");
    writeFile(dir.path() + QStringLiteral("/Broken.plist"), "not a property list");
    writeFile(dir.path() + QStringLiteral("/List.plist"),
              "<?xml version=\"1.0\"?><plist version=\"1.0\"><array/></plist>");

    const Bundle bundle(dir.path() + QStringLiteral("/"));
    EXPECT_EQ(bundle.resourcePath(), dir.path());
    EXPECT_EQ(bundle.pathForResource(QStringLiteral("Options"), QStringLiteral("plist")),
              dir.path() + QStringLiteral("/Options.plist"));
    EXPECT_TRUE(bundle.pathForResource(QStringLiteral("Missing"), QStringLiteral("plist")).isEmpty());

    const auto options = Bundle::dictionaryWithContentsOfFile(
        bundle.pathForResource(QStringLiteral("Options"), QStringLiteral("plist")));
    ASSERT_TRUE(options.has_value());
    EXPECT_EQ(options->value(QStringLiteral("UIConsole")).toString(), QStringLiteral("/c"));

    EXPECT_FALSE(Bundle::dictionaryWithContentsOfFile(QString()).has_value());
    EXPECT_FALSE(Bundle::dictionaryWithContentsOfFile(dir.path() + QStringLiteral("/Missing.plist")).has_value());
    EXPECT_FALSE(Bundle::dictionaryWithContentsOfFile(dir.path() + QStringLiteral("/Broken.plist")).has_value());
    EXPECT_FALSE(Bundle::dictionaryWithContentsOfFile(dir.path() + QStringLiteral("/List.plist")).has_value());
    EXPECT_FALSE(Bundle::dictionaryWithContentsOfFile(dir.path()).has_value());
}

TEST(BundleTest, BinaryPropertyListsReadLikeXmlOnes)
{
    const QVariantMap original{
        {QStringLiteral("Name"), QStringLiteral("Pad")},
        {QStringLiteral("Count"), 3},
        {QStringLiteral("List"), QVariantList{true, 1.5, QStringLiteral("x")}},
    };
    const QByteArray xml = PropertyList::toXml(original);
    ASSERT_FALSE(xml.isEmpty());

    // Convert through libplist's own binary writer, independent of our XML path.
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

    QTemporaryDir dir;
    writeFile(dir.path() + QStringLiteral("/B.plist"), binary);
    const auto read = Bundle::dictionaryWithContentsOfFile(dir.path() + QStringLiteral("/B.plist"));
    ASSERT_TRUE(read.has_value());
    EXPECT_EQ(read->value(QStringLiteral("Name")).toString(), QStringLiteral("Pad"));
    EXPECT_EQ(read->value(QStringLiteral("Count")).toLongLong(), 3);
    const QVariantList list = read->value(QStringLiteral("List")).toList();
    ASSERT_EQ(list.size(), 3);
    EXPECT_TRUE(list.at(0).toBool());
    EXPECT_DOUBLE_EQ(list.at(1).toDouble(), 1.5);
    EXPECT_EQ(list.at(2).toString(), QStringLiteral("x"));
}

TEST(BundleTest, MainBundleIsTheShareFolderBesideTheExecutable)
{
    const Bundle &bundle = Bundle::mainBundle();
    EXPECT_TRUE(bundle.resourcePath().endsWith(QStringLiteral("/share/tolvane-launcher")));
    // Test executables live in the build tree's bin/, so the copied resources are there.
    EXPECT_FALSE(bundle.pathForResource(QStringLiteral("Defaults"), QStringLiteral("plist")).isEmpty());
}

} // namespace
