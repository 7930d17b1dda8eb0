#include "launch/ShellQuoting.h"

#include <gtest/gtest.h>

TEST(ShellQuotingTest, QuotesEverythingTheShellCouldReadAsSyntax)
{
    EXPECT_EQ(ShellQuoting::quoted(QStringLiteral("/a b/c")), QStringLiteral("'/a b/c'"));
    EXPECT_EQ(ShellQuoting::quoted(QStringLiteral("it's")), QStringLiteral("'it'\\''s'"));
    EXPECT_EQ(ShellQuoting::quoted(QString()), QStringLiteral("''"));

    const struct {
        const char *value;
        bool bare;
    } cases[] = {
        {"640x480", true},
        {"/opt/emu-1.2/lib_core.so", true},
        {"a@b%c+d=e:f,g", true},
        {"", false},
        {"two words", false},
        {"$(id)", false},
        {"`id`", false},
        {"a;b", false},
        {"a*", false},
        {"~user", false},
        {"a\"b", false},
        {"x\ny", false},
        {"caf\xc3\xa9", false},
    };
    for (const auto &c : cases) {
        const QString value = QString::fromUtf8(c.value);
        EXPECT_EQ(ShellQuoting::isBareWord(value), c.bare) << c.value;
        EXPECT_EQ(ShellQuoting::bareOrQuoted(value), c.bare ? value : ShellQuoting::quoted(value)) << c.value;
    }
}
