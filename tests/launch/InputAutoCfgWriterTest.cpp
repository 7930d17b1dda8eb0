#include "launch/InputAutoCfgWriter.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QVariantMap record(std::initializer_list<std::pair<const char *, QVariant>> fields)
{
    QVariantMap result;
    for (const auto &[key, value] : fields)
        result.insert(QString::fromLatin1(key), value);
    return result;
}

} // namespace

TEST(InputAutoCfgWriterTest, EachRecordGivesOneSectionWithPresenceFlagsAndTheShorterListOfLines)
{
    const QVariantList names{QStringLiteral("First"), QStringLiteral("Second"), QStringLiteral("Third")};
    const QVariantList three{QStringLiteral("key(13)"), QStringLiteral("button(0)"), QStringLiteral("axis(1-)")};
    const struct {
        QVariantMap record;
        QString text;
    } cases[] = {
        {record({{"USBName", QStringLiteral("Pad One")}, {"plugin", 2}, {"plugged", true}, {"Mapping", three}}),
         QStringLiteral("[Pad One]\nplugged = True\nplugin = 2\nmouse = True\nFirst = key(13)\nSecond = button(0)\nThird = axis(1-)\n\n")},
        // "plugged" and "mouse" count by presence alone; absent values stay empty.
        {record({{"plugged", false}, {"mouse", true}, {"Mapping", QVariantList{QStringLiteral("a"), QString()}}}),
         QStringLiteral("[]\nplugged = True\nplugin = \nmouse = False\nFirst = a\nSecond = \n\n")},
        {record({{"USBName", QStringLiteral("P")}, {"plugin", 1}, {"mouse", false}, {"Mapping", three + three}}),
         QStringLiteral("[P]\nplugged = False\nplugin = 1\nmouse = False\nFirst = key(13)\nSecond = button(0)\nThird = axis(1-)\n\n")},
    };
    for (const auto &c : cases)
        EXPECT_EQ(InputAutoCfgWriter::textFor(names, QVariantMap{{QStringLiteral("Pad"), c.record}}), c.text);

    // Sections in key order; what is not a record has none; no name list, no mapping lines.
    const QVariantMap controllers{{QStringLiteral("B"), record({{"USBName", QStringLiteral("Second")}, {"Mapping", three}})},
                                  {QStringLiteral("A"), record({{"USBName", QStringLiteral("First")}})},
                                  {QStringLiteral("Broken"), QStringLiteral("text")}};
    EXPECT_EQ(InputAutoCfgWriter::textFor(std::nullopt, controllers),
              QStringLiteral("[First]\nplugged = False\nplugin = \nmouse = True\n\n[Second]\nplugged = False\nplugin = \nmouse = True\n\n"));
    EXPECT_EQ(InputAutoCfgWriter::textFor(names, std::nullopt), QString());
}

TEST(InputAutoCfgWriterTest, WritesUtf8WholeAndToleratesAMissingFolder)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("InputAutoCfg.ini"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("an older and much longer text that must not survive in part\n");
    file.close();
    const QString text = QStringLiteral("[Manette \u00e9t\u00e9]\nplugged = True\n\n");
    EXPECT_TRUE(InputAutoCfgWriter::writeText(path, text));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), text.toUtf8());
    EXPECT_FALSE(InputAutoCfgWriter::writeText(dir.filePath(QStringLiteral("missing/InputAutoCfg.ini")), text));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList{QStringLiteral("InputAutoCfg.ini")});
}
