#include "launch/InputAutoCfgWriter.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QVariantList kNames{QStringLiteral("First"), QStringLiteral("Second"), QStringLiteral("Third")};

QVariantList values(std::initializer_list<const char *> texts)
{
    QVariantList list;
    for (const char *text : texts)
        list << QString::fromUtf8(text);
    return list;
}

QString textFor(const QVariantMap &record)
{
    return InputAutoCfgWriter::textFor(kNames, QVariantMap{{QStringLiteral("Pad"), record}});
}

} // namespace

TEST(InputAutoCfgWriterTest, ExampleRecordGivesTheExactText)
{
    const QVariantMap record{
        {QStringLiteral("USBName"), QStringLiteral("Pad One")},
        {QStringLiteral("plugged"), true},
        {QStringLiteral("plugin"), 2},
        {QStringLiteral("Mapping"), values({"key(13)", "button(0)", "axis(1-)"})},
    };
    EXPECT_EQ(textFor(record).toUtf8(), QByteArray("[Pad One]\n"
                                                   "plugged = True\n"
                                                   "plugin = 2\n"
                                                   "mouse = True\n"
                                                   "First = key(13)\n"
                                                   "Second = button(0)\n"
                                                   "Third = axis(1-)\n"
                                                   "\n"));
}

TEST(InputAutoCfgWriterTest, PluggedAndMouseCountOnlyByPresence)
{
    const auto header = [](const QVariantMap &record) { return textFor(record).split(QLatin1Char('\n')).mid(1, 3); };
    const QVariantMap base{{QStringLiteral("USBName"), QStringLiteral("P")}, {QStringLiteral("plugin"), 1}};

    QVariantMap record = base;
    EXPECT_EQ(header(record), QStringList({QStringLiteral("plugged = False"), QStringLiteral("plugin = 1"),
                                           QStringLiteral("mouse = True")}));
    record.insert(QStringLiteral("plugged"), false);
    record.insert(QStringLiteral("mouse"), false);
    EXPECT_EQ(header(record), QStringList({QStringLiteral("plugged = True"), QStringLiteral("plugin = 1"),
                                           QStringLiteral("mouse = False")}));
    record.insert(QStringLiteral("plugged"), true);
    record.insert(QStringLiteral("mouse"), true);
    EXPECT_EQ(header(record), QStringList({QStringLiteral("plugged = True"), QStringLiteral("plugin = 1"),
                                           QStringLiteral("mouse = False")}));
}

TEST(InputAutoCfgWriterTest, MappingLinesFollowTheShorterListAndAbsentValuesStayEmpty)
{
    // Short: only the names that have a value.
    EXPECT_EQ(textFor({{QStringLiteral("USBName"), QStringLiteral("P")},
                       {QStringLiteral("plugin"), 2},
                       {QStringLiteral("Mapping"), values({"key(1)", ""})}}),
              QStringLiteral("[P]\nplugged = False\nplugin = 2\nmouse = True\nFirst = key(1)\nSecond = \n\n"));
    // Missing: the four header lines and the closing empty line.
    EXPECT_EQ(textFor({{QStringLiteral("USBName"), QStringLiteral("P")}, {QStringLiteral("plugin"), 2}}),
              QStringLiteral("[P]\nplugged = False\nplugin = 2\nmouse = True\n\n"));
    // Over-long: values without a name are left out.
    EXPECT_EQ(textFor({{QStringLiteral("USBName"), QStringLiteral("P")},
                       {QStringLiteral("plugin"), 2},
                       {QStringLiteral("Mapping"), values({"a", "b", "c", "d", "e"})}}),
              QStringLiteral("[P]\nplugged = False\nplugin = 2\nmouse = True\nFirst = a\nSecond = b\nThird = c\n\n"));
    // Absent USBName and plugin write empty values, never a placeholder.
    EXPECT_EQ(textFor({{QStringLiteral("mouse"), true}}),
              QStringLiteral("[]\nplugged = False\nplugin = \nmouse = False\n\n"));
    // No name list at all: no mapping lines.
    EXPECT_EQ(InputAutoCfgWriter::textFor(std::nullopt,
                                          QVariantMap{{QStringLiteral("X"),
                                                       QVariantMap{{QStringLiteral("USBName"), QStringLiteral("P")},
                                                                   {QStringLiteral("Mapping"), values({"a"})}}}}),
              QStringLiteral("[P]\nplugged = False\nplugin = \nmouse = True\n\n"));
}

TEST(InputAutoCfgWriterTest, EachRecordGivesOneWholeSectionAndNoRecordsGiveAnEmptyText)
{
    const QVariantMap controllers{
        {QStringLiteral("Joystick 1"),
         QVariantMap{{QStringLiteral("USBName"), QStringLiteral("Gamepad")},
                     {QStringLiteral("plugin"), 2},
                     {QStringLiteral("Mapping"), values({"button(0)"})}}},
        {QStringLiteral("Keyboard"),
         QVariantMap{{QStringLiteral("USBName"), QStringLiteral("Keyboard")},
                     {QStringLiteral("plugged"), true},
                     {QStringLiteral("plugin"), 2},
                     {QStringLiteral("Mapping"), values({"key(97)", "key(98)"})}}},
        // Not a record; it has no section.
        {QStringLiteral("Broken"), QStringLiteral("text")},
    };
    EXPECT_EQ(InputAutoCfgWriter::textFor(kNames, controllers),
              QStringLiteral("[Gamepad]\nplugged = False\nplugin = 2\nmouse = True\nFirst = button(0)\n\n"
                             "[Keyboard]\nplugged = True\nplugin = 2\nmouse = True\nFirst = key(97)\nSecond = key(98)\n\n"));
    EXPECT_EQ(InputAutoCfgWriter::textFor(kNames, std::nullopt), QString());
    EXPECT_EQ(InputAutoCfgWriter::textFor(kNames, QVariantMap()), QString());
}

TEST(InputAutoCfgWriterTest, WritesUtf8WholeAndToleratesAMissingFolder)
{
    QTemporaryDir dir;
    const QString path = dir.path() + QStringLiteral("/InputAutoCfg.ini");
    {
        QFile old(path);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("an older and much longer text that must not survive in part\n");
    }
    const QString text = QStringLiteral("[Manette \u00e9t\u00e9]\nplugged = True\n\n");
    EXPECT_TRUE(InputAutoCfgWriter::writeText(path, text));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), text.toUtf8());
    // Only the file itself is left behind, no temporary.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("InputAutoCfg.ini")});

    EXPECT_FALSE(InputAutoCfgWriter::writeText(dir.path() + QStringLiteral("/missing/InputAutoCfg.ini"), text));
    EXPECT_FALSE(QFile::exists(dir.path() + QStringLiteral("/missing")));
}
