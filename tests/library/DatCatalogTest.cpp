#include "library/DatCatalog.h"
#include "library/LibraryCache.h"

#include "support/TestWorld.h"

#include <QFile>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>

namespace {

QByteArray datOf(const char *game)
{
    return QByteArray("game ( name \"") + game + "\" rom ( name \"a.z64\" size 8192 md5 0123456789abcdef0123456789abcdef ) )\n";
}

QString verifiedName(const DatCatalog &catalog)
{
    return catalog.index()->statusOf(QStringLiteral("0123456789abcdef0123456789abcdef"), 8192, QString(), QString()).gameName;
}

} // namespace

TEST(DatCatalogTest, ParsesOnlyWhatChangedAndKeepsTheRestInTheCache)
{
    TestWorld world;
    const QString path = world.writeFile(QStringLiteral("n64.dat"), datOf("Game One"));
    EXPECT_TRUE(DatCatalog::add(path));
    EXPECT_FALSE(DatCatalog::add(path));
    const QString broken = world.writeFile(QStringLiteral("broken.dat"), "game ( name \"x\n");
    EXPECT_TRUE(DatCatalog::add(broken));
    EXPECT_EQ(DatCatalog::paths(), QStringList({path, broken}));
    struct stat before;
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &before), 0);
    {
        LibraryCache cache(world.path(QStringLiteral("cache.sqlite")));
        cache.open();
        DatCatalog catalog(&cache);
        EXPECT_TRUE(catalog.refresh(DatCatalog::paths()));
        EXPECT_EQ(verifiedName(catalog), QStringLiteral("Game One"));
        EXPECT_EQ(catalog.entries()[0].summary(), QStringLiteral("n64.dat, 1 game(s)"));
        EXPECT_EQ(catalog.entries()[1].summary(),
                  QStringLiteral("“broken.dat” is not used: A quoted text is not closed before the end of its line. Reading stopped at line 1."));
        EXPECT_FALSE(catalog.refresh(DatCatalog::paths()));
    }
    // The same length and time, other contents: a start takes the cache's parse, not the file.
    world.writeFile(QStringLiteral("n64.dat"), datOf("Game Two"));
    const timespec times[2] = {before.st_atim, before.st_mtim};
    ASSERT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0), 0);
    LibraryCache cache(world.path(QStringLiteral("cache.sqlite")));
    cache.open();
    DatCatalog catalog(&cache);
    catalog.refresh(DatCatalog::paths());
    EXPECT_EQ(verifiedName(catalog), QStringLiteral("Game One"));
    // A new time is a change: read again, and every status follows.
    const timespec later[2] = {before.st_atim, {before.st_mtim.tv_sec + 1, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), later, 0), 0);
    EXPECT_TRUE(catalog.refresh(DatCatalog::paths()));
    EXPECT_EQ(verifiedName(catalog), QStringLiteral("Game Two"));
    // No DAT left: no status at all, and the cache forgets the file.
    EXPECT_TRUE(DatCatalog::remove(path) && DatCatalog::remove(broken));
    EXPECT_TRUE(catalog.refresh(DatCatalog::paths()));
    EXPECT_EQ(catalog.index()->statusOf(QStringLiteral("0123456789abcdef0123456789abcdef"), 8192, QString(), QString()).kind,
              DatStatus::Kind::None);
    EXPECT_TRUE(cache.cachedDat(path, before.st_size, qint64(before.st_mtim.tv_sec + 1) * 1000000000).isEmpty());
}
