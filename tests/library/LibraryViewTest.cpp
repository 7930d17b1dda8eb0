#include "library/CoverFinder.h"
#include "library/CoverLoader.h"
#include "library/LibraryFilterModel.h"
#include "library/LibraryModel.h"
#include "rom/ROM.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QItemSelectionModel>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QUrl>

#include <gtest/gtest.h>

namespace {

class CoverTest : public testing::Test
{
protected:
    QString picture(const QString &name, const QSize &size = QSize(40, 56)) const
    {
        const QString path = m_dir.filePath(name);
        QDir().mkpath(QFileInfo(path).absolutePath());
        QImage image(size, QImage::Format_RGB32);
        image.fill(Qt::red);
        EXPECT_TRUE(QFileInfo(path).suffix() == QLatin1String("txt") ? QFile(path).open(QIODevice::WriteOnly)
                                                                       : image.save(path));
        return path;
    }
    QString path(const QString &name) const { return m_dir.filePath(name); }

    QTemporaryDir m_dir;
};

TEST_F(CoverTest, FinderPrefersMD5ThenCodeThenNameThenFileAndPngThenJpegInAnyCase)
{
    const CoverFinder::Game game{QStringLiteral("0123abcd"), QStringLiteral("NABE"), QStringLiteral("GAME NAME  "),
                                 path(QStringLiteral("roms/File Name.z64"))};
    const struct {
        QStringList pictures;
        QString expected;
    } cases[] = {
        {{QStringLiteral("c1/File name.jpg"), QStringLiteral("c1/game name.png"), QStringLiteral("c1/nabe.PNG"),
          QStringLiteral("c1/0123ABCD.jpg")},
         QStringLiteral("c1/0123ABCD.jpg")},
        {{QStringLiteral("c2/File name.jpg"), QStringLiteral("c2/game name.png"), QStringLiteral("c2/nabe.JPG")},
         QStringLiteral("c2/nabe.JPG")},
        {{QStringLiteral("c3/File name.jpg"), QStringLiteral("c3/Game Name.jpeg"), QStringLiteral("c3/Game Name.png")},
         QStringLiteral("c3/Game Name.png")},
        {{QStringLiteral("c4/file name.jpg"), QStringLiteral("c4/0123abcd.txt")}, QStringLiteral("c4/file name.jpg")},
        {{QStringLiteral("c5/other.png")}, QString()},
    };
    for (const auto &each : cases) {
        for (const QString &name : each.pictures)
            picture(name);
        const QString folder = path(each.pictures.constFirst().section(QLatin1Char('/'), 0, 0));
        EXPECT_EQ(CoverFinder(folder).find(game), each.expected.isEmpty() ? QString() : path(each.expected))
            << each.expected.toStdString();
    }
    // Blank header fields never match, not even a picture named with spaces.
    picture(QStringLiteral("c6/   .png"));
    EXPECT_EQ(CoverFinder(path(QStringLiteral("c6"))).find({QString(), QStringLiteral("  "), QStringLiteral("   "), QString()}),
              QString());
}

TEST_F(CoverTest, BesideTheRomItsOwnNameOrACoverPictureOnlyWhenItIsTheOnlyRom)
{
    QDir().mkpath(path(QStringLiteral("solo")));
    QDir().mkpath(path(QStringLiteral("two")));
    for (const QString &rom : {QStringLiteral("solo/game.v64"), QStringLiteral("two/a.z64"), QStringLiteral("two/b.z64")}) {
        QFile file(path(rom));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    picture(QStringLiteral("solo/cover.jpg"));
    picture(QStringLiteral("two/cover.png"));
    picture(QStringLiteral("two/B.jpg"));
    const CoverFinder finder;
    EXPECT_EQ(finder.find({QString(), QString(), QString(), path(QStringLiteral("solo/game.v64"))}), path(QStringLiteral("solo/cover.jpg")));
    EXPECT_EQ(finder.find({QString(), QString(), QString(), path(QStringLiteral("two/a.z64"))}), QString());
    EXPECT_EQ(finder.find({QString(), QString(), QString(), path(QStringLiteral("two/b.z64"))}), path(QStringLiteral("two/B.jpg")));
}

TEST_F(CoverTest, SetCoverReplacesTheOldOneAndTheLoaderScalesOnAWorkerAndKeepsAThumbnail)
{
    const QString covers = path(QStringLiteral("covers"));
    picture(QStringLiteral("covers/0123abcd.png"));
    EXPECT_FALSE(CoverFinder::install(picture(QStringLiteral("notes.txt")), covers, QStringLiteral("0123abcd")).isEmpty());
    ASSERT_EQ(CoverFinder::install(picture(QStringLiteral("big.jpg"), QSize(1000, 1400)), covers, QStringLiteral("0123abcd")),
              QString());
    EXPECT_EQ(QDir(covers).entryList(QDir::Files), QStringList{QStringLiteral("0123abcd.jpg")});

    CoverLoader loader(path(QStringLiteral("thumbnails")));
    loader.setCoversFolder(covers);
    const CoverFinder::Game game{QStringLiteral("0123abcd"), QString(), QString(), QString()};
    QSignalSpy ready(&loader, &CoverLoader::coverReady);
    EXPECT_TRUE(loader.cover(QStringLiteral("key"), game, 100).isNull()) << "never decoded on the caller's thread";
    ASSERT_TRUE(ready.wait(5000));
    const QImage image = loader.cover(QStringLiteral("key"), game, 100);
    EXPECT_EQ(image.size(), QSize(CoverLoader::step(100), CoverLoader::step(100) * 1.4));
    EXPECT_EQ(QDir(path(QStringLiteral("thumbnails"))).entryList(QDir::Files).size(), 1);
    loader.cover(QStringLiteral("none"), {QStringLiteral("ffff"), QString(), QString(), QString()}, 100);
    ASSERT_TRUE(ready.wait(5000));
    EXPECT_TRUE(loader.hasNoCover(QStringLiteral("none")));
}

LibraryRecord game(int number, const QString &name, const QString &code)
{
    ROM rom;
    const QString path = QStringLiteral("/roms/%1.z64").arg(number);
    rom.setFilePath(QUrl::fromLocalFile(path));
    rom.setName(name);
    rom.setGameCode(code);
    rom.setMD5(QString::number(number).repeated(32).left(32));
    rom.setCRC1(1);
    rom.setCRC2(2);
    rom.setCic(6102);
    FileStamp stamp;
    return LibraryRecord::fromROM(path.toUtf8(), stamp, rom);
}

TEST(LibraryFilterTest, SearchSortAndFavouritesKeepTheSelectedRowAndRemovalsKeepIt)
{
    LibraryModel model;
    model.addRecords({game(1, QStringLiteral("Bravo"), QStringLiteral("NBRE")), game(2, QStringLiteral("alpha"), QStringLiteral("NALE")),
                      game(3, QStringLiteral("Charlie"), QStringLiteral("NCHE")), game(4, QStringLiteral("alpha 10"), QStringLiteral("NATE"))});
    LibraryFilterModel filter;
    filter.setSourceModel(&model);
    QItemSelectionModel selection(&filter);
    filter.setSelectionModel(&selection);
    filter.sort(LibraryModel::Name);
    const auto names = [&filter]() {
        QStringList shown;
        for (int row = 0; row < filter.rowCount(); ++row)
            shown.append(filter.index(row, LibraryModel::Name).data().toString());
        return shown.join(QLatin1Char(','));
    };
    EXPECT_EQ(names(), QStringLiteral("alpha,alpha 10,Bravo,Charlie"));
    const auto selected = [&]() { return selection.currentIndex().data().toString(); };
    selection.setCurrentIndex(filter.index(3, 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);

    filter.setSearchText(QStringLiteral(" ch"));
    EXPECT_EQ(names(), QStringLiteral("Charlie"));
    EXPECT_EQ(selected(), QStringLiteral("Charlie"));
    EXPECT_TRUE(selection.isRowSelected(0));
    filter.setSearchText(QStringLiteral("nbre"));
    EXPECT_EQ(names(), QStringLiteral("Bravo")) << "game codes in any case";
    EXPECT_EQ(selected(), QString());
    filter.setSearchText(QString());
    selection.setCurrentIndex(filter.index(2, 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);

    GameHistoryMap history;
    history.insert(game(3, {}, {}).md5(), GameHistory{200, 0, true});
    history.insert(game(2, {}, {}).md5(), GameHistory{300, 0, false});
    model.setHistory(history);
    filter.sort(LibraryModel::LastPlayed, Qt::DescendingOrder);
    EXPECT_EQ(names(), QStringLiteral("alpha,Charlie,Bravo,alpha 10"));
    EXPECT_EQ(selected(), QStringLiteral("Bravo"));
    model.setGameHistory(game(1, {}, {}).md5(), GameHistory{400, 0, true});
    QCoreApplication::processEvents();
    EXPECT_EQ(names(), QStringLiteral("Bravo,alpha,Charlie,alpha 10")) << "a run moves its game up at once";
    filter.setFavouritesOnly(true);
    EXPECT_EQ(names(), QStringLiteral("Bravo,Charlie"));
    model.removeKeys({game(3, {}, {}).key()});
    EXPECT_EQ(names(), QStringLiteral("Bravo"));
    EXPECT_EQ(selected(), QStringLiteral("Bravo"));
}

} // namespace
