#include "launch/InputAutoCfgWriter.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QVariantList kNames{QStringLiteral("First"), QStringLiteral("Second"), QStringLiteral("Third")};

QVariantMap record(const QVariant &usbName, const QVariant &plugin, std::initializer_list<const char *> mapping)
{
    QVariantList values;
    for (const char *text : mapping)
        values << QString::fromUtf8(text);
    QVariantMap result{{QStringLiteral("USBName"), usbName}};
    if (plugin.isValid())
        result.insert(QStringLiteral("plugin"), plugin);
    if (mapping.size() > 0)
        result.insert(QStringLiteral("Mapping"), values);
    return result;
}

QString textFor(const QVariantMap &record)
{
    return InputAutoCfgWriter::textFor(kNames, QVariantMap{{QStringLiteral("Pad"), record}});
}

} // namespace

TEST(InputAutoCfgWriterTest, ExampleRecordGivesTheExactText)
{
    QVariantMap pad = record(QStringLiteral("Pad One"), 2, {"key(13)", "button(0)", "axis(1-)"});
    pad.insert(QStringLiteral("plugged"), true);
    EXPECT_EQ(textFor(pad).toUtf8(), QByteArray("[Pad One]\nplugged = True\nplugin = 2\nmouse = True\n"
                                                "First = key(13)\nSecond = button(0)\nThird = axis(1-)\n\n"));
}

TEST(InputAutoCfgWriterTest, PluggedAndMouseCountOnlyByPresence)
{
    const auto header = [](const QVariantMap &pad) { return textFor(pad).section(QLatin1Char('\n'), 1, 3); };
    QVariantMap pad = record(QStringLiteral("P"), 1, {});
    EXPECT_EQ(header(pad), QStringLiteral("plugged = False\nplugin = 1\nmouse = True"));
    for (const bool value : {false, true}) {
        pad.insert(QStringLiteral("plugged"), value);
        pad.insert(QStringLiteral("mouse"), value);
        EXPECT_EQ(header(pad), QStringLiteral("plugged = True\nplugin = 1\nmouse = False")) << value;
    }
}

TEST(InputAutoCfgWriterTest, MappingLinesFollowTheShorterListAndAbsentValuesStayEmpty)
{
    const QString head = QStringLiteral("[P]\nplugged = False\nplugin = 2\nmouse = True\n");
    EXPECT_EQ(textFor(record(QStringLiteral("P"), 2, {"key(1)", ""})), head + QStringLiteral("First = key(1)\nSecond = \n\n"));
    EXPECT_EQ(textFor(record(QStringLiteral("P"), 2, {})), head + QStringLiteral("\n"));
    EXPECT_EQ(textFor(record(QStringLiteral("P"), 2, {"a", "b", "c", "d", "e"})),
              head + QStringLiteral("First = a\nSecond = b\nThird = c\n\n"));
    // Absent USBName and plugin write empty values, never a placeholder.
    EXPECT_EQ(textFor({{QStringLiteral("mouse"), true}}), QStringLiteral("[]\nplugged = False\nplugin = \nmouse = False\n\n"));
    // No name list at all: no mapping lines.
    EXPECT_EQ(InputAutoCfgWriter::textFor(std::nullopt, QVariantMap{{QStringLiteral("X"), record(QStringLiteral("P"), {}, {"a"})}}),
              QStringLiteral("[P]\nplugged = False\nplugin = \nmouse = True\n\n"));
}

TEST(InputAutoCfgWriterTest, EachRecordGivesOneWholeSectionAndNoRecordsGiveAnEmptyText)
{
    QVariantMap keyboard = record(QStringLiteral("Keyboard"), 2, {"key(97)", "key(98)"});
    keyboard.insert(QStringLiteral("plugged"), true);
    const QVariantMap controllers{{QStringLiteral("Joystick 1"), record(QStringLiteral("Gamepad"), 2, {"button(0)"})},
                                  {QStringLiteral("Keyboard"), keyboard},
                                  // Not a record; it has no section.
                                  {QStringLiteral("Broken"), QStringLiteral("text")}};
    EXPECT_EQ(InputAutoCfgWriter::textFor(kNames, controllers),
              QStringLiteral("[Gamepad]\nplugged = False\nplugin = 2\nmouse = True\nFirst = button(0)\n\n"
                             "[Keyboard]\nplugged = True\nplugin = 2\nmouse = True\nFirst = key(97)\nSecond = key(98)\n\n"));
    EXPECT_EQ(InputAutoCfgWriter::textFor(kNames, std::nullopt), QString());
    EXPECT_EQ(InputAutoCfgWriter::textFor(kNames, QVariantMap()), QString());
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
    // Only the file itself is left behind, no temporary.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("InputAutoCfg.ini")});

    EXPECT_FALSE(InputAutoCfgWriter::writeText(dir.filePath(QStringLiteral("missing/InputAutoCfg.ini")), text));
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("missing"))));
}
