#include "dat/DatIndex.h"

#include <gtest/gtest.h>

TEST(DatIndexTest, GivesEachImageItsStatus)
{
    const QByteArray md5Good = "0123456789abcdef0123456789abcdef";
    const QByteArray md5Bad = "fedcba9876543210fedcba9876543210";
    DatFile::Refusal refusal;
    const auto first = DatFile::parse("clrmamepro ( name \"First\" )\n"
                                      "game ( name \"Super Game (Europe) (Rev 1)\" serial \"NUS-NSGP-EUR\"\n"
                                      " rom ( name \"Super Game (Europe) (Rev 1).z64\" size 8192 md5 " + md5Good + " ) )\n"
                                      "game ( name \"Bad Game\" rom ( name \"Bad Game.z64\" size 4096 md5 " + md5Bad + " flags baddump ) )\n",
                                      &refusal);
    // A later DAT listing the same dump again does not take it over.
    const auto second = DatFile::parse("game ( name \"Again\" rom ( name \"Again.z64\" size 8192 md5 " + md5Good + " ) )", &refusal);
    ASSERT_TRUE(first && second);
    DatIndex index;
    EXPECT_EQ(index.statusOf(QString::fromLatin1(md5Good), 8192, QStringLiteral("a.z64"), QString()).kind, DatStatus::Kind::None);
    index.add(first, QStringLiteral("/dats/first.dat"));
    index.add(second, QStringLiteral("/dats/second.dat"));
    using Kind = DatStatus::Kind;
    const struct
    {
        const char *what;
        QByteArray md5;
        qint64 size;
        const char *fileName;
        const char *gameCode;
        Kind kind;
        const char *game;
    } cases[] = {
        {"listed dump, any name", md5Good, 8192, "renamed.v64", "NSGP", Kind::Verified, "Super Game (Europe) (Rev 1)"},
        {"listed dump, other size", md5Good, 4096, "renamed.v64", "", Kind::NotListed, ""},
        {"bad dump", md5Bad, 4096, "x.n64", "", Kind::BadDump, "Bad Game"},
        {"a listed name and size", md5Bad.left(31) + '0', 8192, "super game (europe) (rev 1).v64", "", Kind::Differs, "Super Game (Europe) (Rev 1)"},
        {"a listed code and size", md5Bad.left(31) + '0', 8192, "hack.z64", "nsgp", Kind::Differs, "Super Game (Europe) (Rev 1)"},
        {"a listed name, other size", md5Bad.left(31) + '0', 16384, "Super Game (Europe) (Rev 1).z64", "NSGP", Kind::NotListed, ""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        const DatStatus status = index.statusOf(QString::fromLatin1(c.md5), c.size, QString::fromUtf8(c.fileName), QString::fromUtf8(c.gameCode));
        EXPECT_EQ(status.kind, c.kind);
        EXPECT_EQ(status.gameName, QString::fromUtf8(c.game));
        EXPECT_EQ(status.datPath, c.kind == Kind::NotListed ? QString() : QStringLiteral("/dats/first.dat"));
    }
    EXPECT_EQ(index.statusOf(QString::fromLatin1(md5Good), 8192, QString(), QString()).sentence(),
              QStringLiteral("This file is a verified copy of “Super Game (Europe) (Rev 1)”, as listed in “First”."));
}
