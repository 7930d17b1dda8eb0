#include "library/CoverDelegate.h"
#include "library/CoverFinder.h"
#include "library/CoverLoader.h"
#include "library/DatCatalog.h"
#include "library/GameLibrary.h"
#include "library/LibraryController.h"
#include "library/LibraryFolders.h"
#include "library/LibraryFilterModel.h"
#include "library/LibraryGridView.h"
#include "library/LibraryModel.h"
#include "library/LibraryPanel.h"
#include "library/PlayHistory.h"
#include "mainwindow/DatDrop.h"
#include "platform/LocalPath.h"
#include "platform/Translations.h"
#include "platform/UserDefaults.h"
#include "support/ArchiveBuilder.h"
#include "support/Bytes.h"
#include "support/TestWorld.h"
#include "rom/ROM.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QMainWindow>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QPainter>
#include <QPushButton>
#include <QFile>
#include <QHeaderView>
#include <QImage>
#include <QImageReader>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>
#include <QTranslator>
#include <QToolButton>
#include <QTemporaryDir>
#include <QUrl>

#include <sys/resource.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <filesystem>

#include <gtest/gtest.h>

namespace {

class CoverTest : public testing::Test
{
protected:
    // By bytes: QTemporaryDir leaves names that are not UTF-8 behind.
    ~CoverTest() override { std::error_code ignored; std::filesystem::remove_all(QFile::encodeName(m_dir.path()).toStdString(), ignored); }
    QString picture(const QString &name, const QSize &size = QSize(40, 56), Qt::GlobalColor colour = Qt::red) const
    {
        const QString path = m_dir.filePath(name);
        QDir().mkpath(QFileInfo(path).absolutePath());
        QImage image(size, QImage::Format_RGB32);
        image.fill(colour);
        EXPECT_TRUE(QFileInfo(path).suffix() == QLatin1String("txt") ? writeBytes(path, {}) : image.save(path));
        return path;
    }
    QString path(const QString &name) const { return m_dir.filePath(name); }

    QTemporaryDir m_dir;
};

TEST_F(CoverTest, FinderPrefersMD5ThenCodeThenNameThenFileAndPngThenJpegInAnyCase)
{
    const CoverFinder::Game game{QStringLiteral("0123abcd"), QStringLiteral("NABE"), QStringLiteral("GAME NAME  "),
                                 LocalPath::fromText(path(QStringLiteral("roms/File Name.z64")))};
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
        {{QStringLiteral("c7/nabe.webp"), QStringLiteral("c7/NABE.jpeg")}, QStringLiteral("c7/NABE.jpeg")},
    };
    for (const auto &each : cases) {
        // WebP needs Qt's extra image plug-ins, which the package only recommends.
        if (each.pictures.constFirst().endsWith(QLatin1String(".webp")) && !QImageReader::supportedImageFormats().contains("webp"))
            continue;
        for (const QString &name : each.pictures)
            picture(name);
        const QString folder = path(each.pictures.constFirst().section(QLatin1Char('/'), 0, 0));
        EXPECT_EQ(CoverFinder(folder).find(game).displayText(), each.expected.isEmpty() ? QString() : path(each.expected))
            << each.expected.toStdString();
    }
    // Blank header fields never match, not even a picture named with spaces.
    picture(QStringLiteral("c6/   .png"));
    EXPECT_TRUE(CoverFinder(path(QStringLiteral("c6"))).find({QString(), QStringLiteral("  "), QStringLiteral("   "), {}}).isEmpty());
}

TEST_F(CoverTest, BesideTheRomItsOwnNameOrACoverPictureOnlyWhenItIsTheOnlyRom)
{
    for (const char *folder : {"solo", "two", "old", "lone"})
        QDir().mkpath(path(QLatin1String(folder)));
    for (const char *rom : {"solo/game.v64", "two/a.z64", "two/b.z64", "old/cafe.z64", "lone/cafe.n64"})
        ASSERT_TRUE(writeBytes(path(QLatin1String(rom)), {}));
    picture(QStringLiteral("solo/cover.jpg"));
    picture(QStringLiteral("two/cover.png"));
    picture(QStringLiteral("two/B.jpg"));
    // By bytes too: a Latin-1 name with its picture, and a lone ROM in a Latin-1 folder.
    picture(QStringLiteral("old/cafe.PNG")), picture(QStringLiteral("lone/cover.png"));
    const QByteArray old = QFile::encodeName(path(QStringLiteral("old"))), lone = QFile::encodeName(path(QStringLiteral("lon"))) + "\xe9";
    for (const auto &[from, to] : {std::pair{old + "/cafe.z64", old + "/caf\xe9.z64"}, {old + "/cafe.PNG", old + "/CAF\xe9.PNG"}, {lone.chopped(1) + "e", lone}})
        ASSERT_EQ(::rename(from.constData(), to.constData()), 0);
    const CoverFinder finder;
    const auto beside = [&finder](const QByteArray &rom) { return finder.find({{}, {}, {}, LocalPath(rom)}).bytes(); };
    EXPECT_EQ(beside(QFile::encodeName(path(QStringLiteral("solo/game.v64")))), QFile::encodeName(path(QStringLiteral("solo/cover.jpg"))));
    EXPECT_EQ(beside(QFile::encodeName(path(QStringLiteral("two/a.z64")))), QByteArray());
    EXPECT_EQ(beside(QFile::encodeName(path(QStringLiteral("two/b.z64")))), QFile::encodeName(path(QStringLiteral("two/B.jpg"))));
    EXPECT_EQ(beside(old + "/caf\xe9.z64"), old + "/CAF\xe9.PNG");
    EXPECT_EQ(beside(lone + "/cafe.n64"), lone + "/cover.png");
}

TEST_F(CoverTest, SetCoverReplacesTheOldOneOnlyWithAPicture)
{
    const QString covers = path(QStringLiteral("covers"));
    picture(QStringLiteral("covers/0123abcd.png"));
    // Text named as a picture is refused, and the working cover stays as it was.
    for (const QString &fake : {QStringLiteral("fake.png"), QStringLiteral("fake.jpg")}) {
        ASSERT_TRUE(writeBytes(path(fake), "not a picture\n"));
        EXPECT_FALSE(CoverFinder::install(path(fake), covers, QStringLiteral("0123abcd")).isEmpty()) << qPrintable(fake);
        EXPECT_EQ(QDir(covers).entryList(QDir::Files), QStringList{QStringLiteral("0123abcd.png")});
        EXPECT_EQ(QImageReader(path(QStringLiteral("covers/0123abcd.png"))).size(), QSize(40, 56));
    }
    // A WebP cover where Qt has the plug-in: installed as the others are.
    const QString big = QImageReader::supportedImageFormats().contains("webp") ? QStringLiteral("webp") : QStringLiteral("jpg");
    ASSERT_EQ(CoverFinder::install(picture(QStringLiteral("big.") + big, QSize(1000, 1400)), covers, QStringLiteral("0123abcd")),
              QString());
    EXPECT_EQ(QDir(covers).entryList(QDir::Files), QStringList{QStringLiteral("0123abcd.") + big});
}

// Qt refuses to decode more than its allocation limit (128 MB, lowered here to 1 MB so that small
// pictures stand for an 8000 × 8000 WebP or a 16-bit PNG): covers get a limit of their own.
TEST_F(CoverTest, PicturesOverQtsLimitAreShownAndThoseThatCannotBeSayWhy)
{
    const int qtLimit = QImageReader::allocationLimit();
    QImageReader::setAllocationLimit(1);
    const QString covers = path(QStringLiteral("covers"));
    const struct {
        QString name;
        QImage::Format format;
        int side;
        QString problem;
    } cases[] = {
        {QStringLiteral("a.webp"), QImage::Format_RGB32, 600, QString()},
        {QStringLiteral("b.png"), QImage::Format_RGBX64, 600, QString()},
        {QStringLiteral("c.png"), QImage::Format_RGBX64, 1200, QStringLiteral("at 1200 × 1200 pixels it needs 10 MB to be read, more than the 8 MB")},
        {QStringLiteral("d.png"), QImage::Format_Invalid, 0, QStringLiteral("it cannot be read as a PNG, JPEG or WebP picture")},
    };
    for (const auto &each : cases) {
        if (each.name.endsWith(QLatin1String("webp")) && !QImageReader::supportedImageFormats().contains("webp"))
            continue;
        QImage image(each.side, each.side, each.format);
        image.fill(Qt::red);
        QFile file(path(QStringLiteral("covers/") + each.name));
        ASSERT_TRUE(QDir().mkpath(covers) && (image.isNull() ? file.open(QIODevice::WriteOnly) && file.write("text") : image.save(&file, nullptr)));
        file.close();
        CoverLoader loader(path(QStringLiteral("thumbnails")));
        loader.setCoversFolder(covers);
        loader.setDecodeLimit(8);
        QSignalSpy ready(&loader, &CoverLoader::coverReady);
        const CoverFinder::Game game{each.name.left(1), QString(), QString(), {}};
        EXPECT_TRUE(loader.cover(each.name, game, 100).isNull()) << "never decoded on the caller's thread";
        ASSERT_TRUE(ready.wait(5000));
        EXPECT_EQ(loader.cover(each.name, game, 100).isNull(), !each.problem.isEmpty()) << qPrintable(each.name);
        EXPECT_TRUE(loader.hasNoCover(each.name) == !each.problem.isEmpty() && loader.problem(each.name).isEmpty() == each.problem.isEmpty()
                    && loader.problem(each.name).contains(each.problem)) << qPrintable(loader.problem(each.name));
    }
    QImageReader::setAllocationLimit(qtLimit);
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
    rom.setRegionCode(quint8(code.isEmpty() ? 0 : code.back().toLatin1()));
    rom.setFileSize(8192);
    FileStamp stamp;
    return LibraryRecord::fromROM(path.toUtf8(), stamp, rom);
}

// At two device pixels to the point: thumbnails twice as wide, and the empty star showing on a
// white cover and a black one; decoding below the window's priority; unused thumbnails removed.
TEST_F(CoverTest, CoversFollowTheDevicePixelsTheStarShowsOnAnyCoverAndUnusedThumbnailsGo)
{
    LibraryModel model;
    model.addRecords({game(1, QStringLiteral("White"), QStringLiteral("NWHE")), game(2, QStringLiteral("Black"), QStringLiteral("NBLE"))});
    LibraryFilterModel filter;
    filter.setSourceModel(&model);
    QList<CoverFinder::Game> games;
    for (const auto &[row, colour] : {std::pair{0, Qt::white}, {1, Qt::black}}) {
        const LibraryRecord &record = model.record(row);
        games.append({record.md5(), QString(), QString(), {}});
        picture(QStringLiteral("covers/%1.png").arg(record.md5()), QSize(200, 280), colour);
    }
    const QString thumbnails = path(QStringLiteral("thumbnails"));
    CoverLoader loader(thumbnails);
    loader.setCoversFolder(path(QStringLiteral("covers")));
    CoverDelegate delegate(&loader, &filter, &model);
    delegate.setCoverWidth(100);
    QSignalSpy ready(&loader, &CoverLoader::coverReady);
    QWidget view;
    const auto paint = [&](int row, QStyle::State state = {}) {
        QStyleOptionViewItem option;
        option.initFrom(&view);
        option.state |= state;
        option.rect = QRect(QPoint(), delegate.cellSize(option.font));
        QImage canvas(option.rect.size() * 2, QImage::Format_RGB32);
        canvas.fill(view.palette().color(QPalette::Base));
        canvas.setDevicePixelRatio(2);
        QPainter painter(&canvas);
        delegate.paint(&painter, option, filter.index(row, 0));
        return canvas;
    };
    // Asked for and not known yet: a neutral tile, not the blue one of a game without a cover.
    EXPECT_NEAR(qGray(paint(0).pixel(112, 152)), qGray(view.palette().color(QPalette::Midlight).rgb()), 2);
    paint(1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return ready.size() == 2; }, kTimeoutMs));
    const auto widths = [&thumbnails]() {
        QList<int> found;
        for (const QFileInfo &file : QDir(thumbnails).entryInfoList(QDir::Files))
            found.append(QImageReader(file.filePath()).size().width());
        return found;
    };
    EXPECT_EQ(widths(), QList<int>({240, 240}));
    for (const int row : {0, 1}) {
        const QImage canvas = paint(row);
        // The star's corner of the cover, in device pixels: some of it darker and some lighter than mid-grey.
        int darkest = 255, lightest = 0;
        for (int y = 12; y < 60; ++y)
            for (int x = 150; x < 210; ++x)
                darkest = std::min(darkest, qGray(canvas.pixel(x, y))), lightest = std::max(lightest, qGray(canvas.pixel(x, y)));
        EXPECT_TRUE(darkest < 100 && lightest > 155) << row << " " << darkest << " " << lightest;
        // Across the middle of the cover: its edges show even when it is the view's colour.
        int darkestAcross = 255;
        for (int x = 0; x < canvas.width(); ++x)
            darkestAcross = std::min(darkestAcross, qGray(canvas.pixel(x, canvas.height() / 2)));
        EXPECT_LT(darkestAcross, 200) << row;
    }
    // A favourite with the focus: the frame is drawn over the cover, never filled with the star's colour.
    GameHistory favourite;
    favourite.favourite = true;
    model.setGameHistory(model.record(1).md5(), favourite);
    EXPECT_LT(qGray(paint(1, QStyle::State_HasFocus).pixel(112, 152)), 100);
    bool lowered = false;
    for (const QString &thread : QDir(QStringLiteral("/proc/self/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        lowered = lowered || ::getpriority(PRIO_PROCESS, id_t(thread.toInt())) > ::getpriority(PRIO_PROCESS, 0);
    EXPECT_TRUE(lowered) << "decoding threads run below the window";
    // Another size, and a file no cover uses: the cleaning of a fresh start keeps only what is in use.
    loader.cover(QStringLiteral("key"), games[0], 100);
    ASSERT_TRUE(QTest::qWaitFor([&] { return widths().size() == 3; }, kTimeoutMs));
    ASSERT_TRUE(writeBytes(thumbnails + QStringLiteral("/0123"), {}));
    loader.setCoversFolder(path(QStringLiteral("covers")));
    loader.cleanThumbnails(games, 200);
    EXPECT_TRUE(QTest::qWaitFor([&] { return widths() == QList<int>({240, 240}); }, kTimeoutMs));
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
    LibraryRecord refused = game(5, {}, {});
    refused.valid = false;
    refused.refusal = ROM::Refusal::Missing;
    model.addRecords({refused, game(6, QStringLiteral("Delta"), QStringLiteral("NDEJ"))});
    filter.setSearchText(QStringLiteral("JAPAN"));
    EXPECT_EQ(names(), QStringLiteral("Delta")) << "region names";
    filter.setSearchText(QStringLiteral("not exist"));
    EXPECT_EQ(names(), QString()) << "a refused file by its name, not its reason";
    filter.setSearchText(QStringLiteral("5.z64"));
    EXPECT_EQ(names(), refused.refusalReason());
    model.removeKeys({refused.key(), game(6, {}, {}).key()});
    EXPECT_EQ(model.index(0, LibraryModel::Size).data().toString(), QStringLiteral("8 KiB")) << "as the ROM view says";
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

TEST(LibraryPanelTest, EnterOpensTheRowShownSelectedAfterEscapeInTableAndGrid)
{
    LibraryModel model;
    for (int number = 0; number < 400; ++number)
        model.addRecords({game(number, QStringLiteral("Game %1").arg(number, 3, 10, QLatin1Char('0')), QStringLiteral("NGAE"))});
    LibraryFilterModel filter;
    filter.setSourceModel(&model);
    QTemporaryDir thumbnails;
    CoverLoader covers(thumbnails.path());
    CoverDelegate delegate(&covers, &filter, &model);
    LibraryPanel panel;
    panel.setModel(&filter);
    panel.gridView()->setCoverDelegate(&delegate);
    panel.resize(panel.setFirstColumns(), 300);
    panel.show();
    QSignalSpy opened(&panel, &LibraryPanel::rowActivated);
    QItemSelectionModel *selection = panel.tableView()->selectionModel();
    for (const bool grid : {true, false}) {
        panel.showGrid(grid);
        selection->setCurrentIndex(filter.index(350, 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        // The second search hides the current row: the first row is then current, not an unseen one.
        for (const auto &[search, row] : {std::pair{QStringLiteral("Game 35"), 350}, {QStringLiteral("Game 1x"), 0}}) {
            QTest::keyClicks(panel.searchField(), search);
            QTest::keyClick(panel.searchField(), Qt::Key_Escape);
            EXPECT_TRUE(panel.currentView()->viewport()->rect().contains(panel.currentView()->visualRect(selection->currentIndex()).center()));
            QTest::keyClick(panel.searchField(), Qt::Key_Return);
            EXPECT_EQ(opened.takeLast().at(0).toInt(), row);
            EXPECT_TRUE(selection->isRowSelected(row));
        }
    }
    // A screen reader's toggle checks a button without clicking it: the view follows all the same.
    for (const bool grid : {true, false}) {
        auto *button = panel.findChild<QToolButton *>(grid ? QStringLiteral("showGridButton") : QStringLiteral("showListButton"));
        ASSERT_NE(button, nullptr);
        button->setChecked(true);
        EXPECT_EQ(panel.isGridShown(), grid);
        // Without the cover size beside it, the sort box keeps its width next to its label.
        QCoreApplication::processEvents();
        const auto *sort = panel.findChild<QComboBox *>(QStringLiteral("librarySort"));
        EXPECT_LE(sort->width(), sort->sizeHint().width()) << grid;
    }
    // Page Down and Page Up move a row at least, even when a cover is taller than half the view.
    panel.showGrid(true);
    LibraryGridView *grid = panel.gridView();
    panel.resize(panel.width(), 400);
    QCoreApplication::processEvents();
    ASSERT_GT(grid->viewport()->height(), grid->gridSize().height());
    ASSERT_LT(grid->viewport()->height(), grid->gridSize().height() * 2);
    grid->setCurrentIndex(filter.index(0, 0));
    QTest::keyClick(grid, Qt::Key_PageDown);
    EXPECT_GT(grid->visualRect(grid->currentIndex()).top(), grid->visualRect(filter.index(0, 0)).top());
    QTest::keyClick(grid, Qt::Key_PageUp);
    EXPECT_EQ(grid->currentIndex().row(), 0);
    // Screen readers name the sort box by its label; Tab reaches the grid's own controls before the grid.
    const auto labels = QAccessible::queryAccessibleInterface(panel.sortBox())->relations(QAccessible::Label);
    EXPECT_TRUE(!labels.isEmpty() && labels.first().first->text(QAccessible::Name) == QStringLiteral("Sort by:"));
    QList<QWidget *> chain{panel.searchField()};
    while (chain.size() < 100 && chain.last()->nextInFocusChain() != chain.first())
        chain.append(chain.last()->nextInFocusChain());
    EXPECT_LT(chain.indexOf(panel.sortBox()), chain.indexOf(grid));
}

// The real panel in a window, from an empty start. The Dump column and its filter are there only
// with DAT files, and the player's own choice of the column outlasts their going (also in the
// layout saved meanwhile). The panel leads to games, here ALPHA, BRAVO and a Latin-1 "caf\xe9.z64"
// with its own picture, and to covers. Quit (Ctrl+Q, a logout) comes right after a change of
// view: the main window goes before the library, whose pending layout must still be saved and
// whose threads must still end.
TEST(LibraryWindowTest, DumpsShowOnlyWithDatsMenusActOnTheClickedRowSetCoverShowsTheCoverAndAQuitStillSavesTheLayout)
{
    TestWorld world;
    QDir().mkpath(world.path(QStringLiteral("lib")));
    const QByteArray lib = QFile::encodeName(world.path(QStringLiteral("lib"))), cafe = lib + "/caf\xe9.z64";
    for (const char *name : {"ALPHA", "BRAVO", "CAFE"})
        world.writeRom(QStringLiteral("lib/%1.z64").arg(QLatin1String(name)), name);
    QImage picture(40, 56, QImage::Format_RGB32);
    for (const auto &[colour, name] : {std::pair{Qt::green, "green.png"}, {Qt::blue, "lib/CAFE.png"}})
        picture.fill(colour), picture.save(world.path(QLatin1String(name)));
    for (const char *suffix : {".z64", ".png"})
        ASSERT_EQ(::rename(lib + "/CAFE" + suffix, lib + "/caf\xe9" + suffix), 0);
    // Changed long ago: a file read moments after its change is not opened from its row as it is.
    for (const char *name : {"/ALPHA.z64", "/BRAVO.z64", "/caf\xe9.z64"}) {
        const struct timespec times[2] = {{0, UTIME_OMIT}, {QDateTime::currentSecsSinceEpoch() - 3600, 0}};
        ASSERT_EQ(::utimensat(AT_FDCWD, lib + name, times, 0), 0);
    }
    const QString game = QStringLiteral("0123456789abcdef0123456789abcdef"), dat = world.path(QStringLiteral("n64.dat"));
    auto *window = new QMainWindow;
    // "CF": the Dump column and its filter shown.
    const auto dumps = [](LibraryPanel *panel) {
        return QString::fromLatin1(panel->tableView()->horizontalHeader()->isSectionHidden(LibraryModel::Dump) ? "-" : "C")
            + QLatin1String(panel->dumpFilterBox()->isVisibleTo(panel) ? "F" : "-");
    };
    {
        QObject owner;
        auto *library = new LibraryController(window, &owner);
        window->setCentralWidget(library->panel());
        window->resize(1000, 560);
        QSignalSpy opened(library->gameLibrary(), &GameLibrary::openRecord), settings(library, &LibraryController::gameSettingsRequested),
            played(library->gameLibrary(), &GameLibrary::playRecord);
        window->show();
        // The DAT added (+) or removed (-), the player hiding (h) or showing (s) the column with a filter chosen.
        for (const auto &[change, shown] : {std::pair{' ', "--"}, {'+', "CF"}, {'h', "-F"}, {'-', "--"}, {'+', "-F"}, {'s', "CF"}, {'-', "--"}}) {
            if (change == '+' || change == '-')
                change == '+' ? DatCatalog::add(dat) : DatCatalog::remove(dat);
            else if (change != ' ')
                library->panel()->dumpFilterBox()->setCurrentIndex(1), library->panel()->tableView()->horizontalHeader()->setSectionHidden(LibraryModel::Dump, change == 'h');
            EXPECT_EQ(dumps(library->panel()), QLatin1String(shown)) << change;
            EXPECT_TRUE(change != '-' || library->filterModel()->dumpFilter() == LibraryFilterModel::DumpFilter::All);
        }
        LibraryPanel *panel = library->panel();
        auto *notice = panel->findChild<QLabel *>(QStringLiteral("libraryNotice"));
        auto *choose = panel->findChild<QPushButton *>(QStringLiteral("chooseRomFolder"));
        auto *covers = panel->findChild<QPushButton *>(QStringLiteral("coversFolderSetting"));
        ASSERT_TRUE(notice && choose && covers);
        EXPECT_TRUE(notice->isVisible() && choose->isVisible() && !covers->isVisible());
        panel->showGrid(true);
        EXPECT_TRUE(covers->isVisible() && notice->text().contains(QStringLiteral("covers folder")));
        QSignalSpy coversAsked(library, &LibraryController::coversFolderRequested);
        covers->click();
        choose->click();
        auto *chooser = window->findChild<QFileDialog *>();
        ASSERT_TRUE(chooser && chooser->fileMode() == QFileDialog::Directory);
        Q_EMIT chooser->fileSelected(QFile::decodeName(lib));
        chooser->reject();
        EXPECT_TRUE(LibraryFolders::folders() == QStringList{QFile::decodeName(lib)} && coversAsked.size() == 1);
        EXPECT_TRUE(QTest::qWaitFor([&] { return !notice->isVisible() && library->filterModel()->rowCount() == 3; }, kTimeoutMs)
                    && panel->gridView()->isVisible());
        panel->showGrid(false);
        LibraryFilterModel *rows = library->filterModel();
        // A filter that leaves no game says why in the list's place; the status line counts the matches.
        panel->favouritesButton()->setChecked(true);
        EXPECT_TRUE(notice->isVisibleTo(panel) && notice->text() == QStringLiteral("No favourites yet: press Ctrl+D on a game."));
        panel->favouritesButton()->setChecked(false);
        QTest::keyClicks(panel->searchField(), QStringLiteral("xyz"));
        EXPECT_TRUE(notice->isVisibleTo(panel) && notice->text() == QStringLiteral("No game matches “xyz”.")) << notice->text().toStdString();
        panel->searchField()->setText(QStringLiteral("lph"));
        EXPECT_TRUE(!notice->isVisibleTo(panel) && panel->statusLabel()->text().endsWith(QStringLiteral("Matches: 1.")))
            << panel->statusLabel()->text().toStdString();
        panel->searchField()->clear();
        EXPECT_FALSE(panel->statusLabel()->text().contains(QStringLiteral("Matches")));
        const QStringList names{QStringLiteral("ALPHA"), QStringLiteral("BRAVO"), QStringLiteral("CAFE")};
        QStringList md5;
        for (int row = 0; row < 3; ++row)
            md5.append(rows->index(row, LibraryModel::MD5).data().toString());
        const auto openedName = [&opened]() { return opened.takeFirst().at(0).value<std::shared_ptr<ROM>>()->name().value_or(QString()); };
        // Right-clicked while ALPHA is current: every item is for the row under the pointer.
        for (const int row : {2, 1}) {
            library->panel()->showGrid(row == 1);
            QAbstractItemView *view = library->panel()->currentView();
            view->setCurrentIndex(rows->index(0, LibraryModel::Name));
            const QPoint at = view->visualRect(rows->index(row, LibraryModel::Name)).center();
            QContextMenuEvent click(QContextMenuEvent::Mouse, at, view->viewport()->mapToGlobal(at));
            QApplication::sendEvent(view->viewport(), &click);
            std::unique_ptr<QMenu> menu(library->panel()->findChild<QMenu *>(QStringLiteral("libraryContextMenu")));
            ASSERT_TRUE(menu);
            QHash<QString, QAction *> items;
            for (QAction *item : menu->actions()) {
                EXPECT_TRUE(item->isSeparator() || item->text().contains(QLatin1Char('&'))) << "a mnemonic for each item";
                items.insert(item->text().remove(QLatin1Char('&')), item);
            }
            for (const QString &each : {QStringLiteral("Favourite"), QStringLiteral("Open"), QStringLiteral("Game Settings…"), QStringLiteral("Copy MD5")})
                items.value(each)->trigger();
            EXPECT_TRUE(QGuiApplication::clipboard()->text() == md5[row] && openedName() == names[row]);
            const QByteArray file = row == 2 ? cafe : lib + "/BRAVO.z64";
            const QList<QVariant> asked = settings.takeFirst();
            EXPECT_TRUE(LocalPath::fromUrl(asked.at(2).toUrl()).bytes() == file && asked.at(1).toString() == names[row]);
            items.value(QStringLiteral("Copy Path"))->trigger();
            EXPECT_EQ(QGuiApplication::clipboard()->text(), QFile::decodeName(file));
            EXPECT_EQ(QGuiApplication::clipboard()->mimeData()->urls(), row == 2 ? QList<QUrl>{LocalPath(cafe).toUrl()} : QList<QUrl>());
        }
        // Shift+F10 and the menu key open the current game's menu.
        for (const auto &[key, modifiers] : {std::pair{Qt::Key_F10, Qt::ShiftModifier}, {Qt::Key_Menu, Qt::NoModifier}}) {
            library->panel()->currentView()->setCurrentIndex(rows->index(2, 0));
            QTest::keyClick(library->panel()->currentView(), key, modifiers);
            std::unique_ptr<QMenu> menu(library->panel()->findChild<QMenu *>(QStringLiteral("libraryContextMenu")));
            ASSERT_TRUE(menu);
            menu->actions().last()->trigger();
            EXPECT_EQ(QGuiApplication::clipboard()->text(), md5[2]);
        }
        // Set Cover Image… for BRAVO: the picture chosen without blocking; the offered folder is made and kept.
        library->contextMenu(rows->index(1, 0))->actions().at(5)->trigger();
        chooser = window->findChildren<QFileDialog *>().constLast();
        ASSERT_TRUE(chooser && QApplication::activeModalWidget() == nullptr);
        chooser->selectFile(world.path(QStringLiteral("green.png")));
        static_cast<QDialog *>(chooser)->accept();
        auto *question = window->findChild<QMessageBox *>();
        ASSERT_TRUE(question);
        question->button(QMessageBox::Yes)->click();
        EXPECT_EQ(UserDefaults::standardUserDefaults().valueForKey(LibraryController::coversFolderKey).toString(),
                  LibraryController::defaultCoversFolder());
        EXPECT_TRUE(QFile::exists(LibraryController::defaultCoversFolder() + QLatin1Char('/') + md5[1] + QStringLiteral(".png")));
        LibraryGridView *grid = library->panel()->gridView();
        const auto shown = [grid, rows](int row) { return grid->grab().toImage().pixelColor(grid->visualRect(rows->index(row, 0)).center()); };
        EXPECT_TRUE(QTest::qWaitFor([&] { return shown(1) == QColor(Qt::green) && shown(2) == QColor(Qt::blue); }, kTimeoutMs));
        // Pictures replaced beside a ROM or added to the covers folder while the Launcher runs show,
        // and the replaced picture's thumbnail goes.
        for (const auto &[colour, name] : {std::pair{Qt::red, lib + "/caf\xe9.png"},
                                            {Qt::yellow, QFile::encodeName(LibraryController::defaultCoversFolder()) + '/' + md5[0].toLatin1() + ".png"}})
            picture.fill(colour), picture.save(world.path(QStringLiteral("new.png"))), ::rename(QFile::encodeName(world.path(QStringLiteral("new.png"))), name);
        EXPECT_TRUE(QTest::qWaitFor([&] { return shown(0) == QColor(Qt::yellow) && shown(2) == QColor(Qt::red); }, kTimeoutMs));
        EXPECT_EQ(QDir(CoverLoader::defaultThumbnailFolder()).entryList(QDir::Files).size(), 3);

        // Each item is named for screen readers; arrows move and Enter opens the game reached.
        QAccessibleInterface *list = QAccessible::queryAccessibleInterface(grid);
        ASSERT_EQ(list->childCount(), 3);
        for (int row = 0; row < 3; ++row)
            EXPECT_EQ(list->child(row)->text(QAccessible::Name), names[row] + QStringLiteral(", ") + rows->index(row, LibraryModel::FileName).data().toString());
        EXPECT_EQ(list->child(0)->text(QAccessible::Description), QStringLiteral("Not a favourite, never played."));
        EXPECT_EQ(list->child(1)->text(QAccessible::Description), QStringLiteral("Favourite, never played."));
        {
            // In German too: the action is asked for by its name, which is never translated.
            QTranslator german;
            ASSERT_TRUE(german.load(QStringLiteral("tolvane-launcher_de"), Translations::folder()) && QCoreApplication::installTranslator(&german));
            list->child(2)->actionInterface()->doAction(QStringLiteral("Play"));
        }
        ASSERT_EQ(played.size(), 1);
        EXPECT_EQ(played.takeFirst().at(0).value<std::shared_ptr<ROM>>()->name(), names[2]);
        grid->setCurrentIndex(rows->index(0, LibraryModel::Name));
        for (const Qt::Key key : {Qt::Key_Right, Qt::Key_Right, Qt::Key_Left, Qt::Key_Return})
            QTest::keyClick(grid, key);
        EXPECT_EQ(openedName(), names[1]);
        const auto favourite = [library](const QString &md5) { return library->gameLibrary()->history(md5).favourite; };
        EXPECT_TRUE(favourite(md5[1]) && favourite(md5[2]) && !favourite(md5[0]));

        // Dropped on the window: a DAT is asked for and identifies ALPHA, another .xml is refused with
        // its line, and an archive holding a ROM image and a DAT goes on to be opened as a ROM archive.
        struct : URLDropDelegate { bool acceptsURL(const QUrl &) override { return false; } void dropURL(const QUrl &url) override { opened = url; } QUrl opened; } next;
        DatDrop drops(&next, window);
        const QByteArray dat = "<datafile><header><name>Test DAT</name></header>\n<game name=\"Alpha (Europe)\"><rom name=\"a.z64\" size=\"8192\" md5=\""
            + md5[0].toLatin1() + "\"/></game></datafile>\n";
        ASSERT_TRUE(ArchiveBuilder().add("n64.dat", dat).writeTo(world.path(QStringLiteral("dat.zip")))
                    && ArchiveBuilder().add("read me.xml", dat).add("in.z64", readFile(QFile::decodeName(lib + "/ALPHA.z64"))).writeTo(world.path(QStringLiteral("roms.zip"))));
        const QString useDat = QStringLiteral("Use “Test DAT” to identify games?");
        for (const auto &[file, message] : {std::pair{world.writeFile(QStringLiteral("n64.xml"), dat), useDat}, {world.path(QStringLiteral("dat.zip")), useDat},
                                            {world.writeFile(QStringLiteral("page.xml"), "<html>\n</html>\n"), QStringLiteral("“page.xml” is not used: ")},
                                            {world.path(QStringLiteral("roms.zip")), QString()}}) {
            drops.dropURL(QUrl::fromLocalFile(file));
            if (message.isEmpty()) {
                EXPECT_TRUE(QTest::qWaitFor([&] { return next.opened == QUrl::fromLocalFile(file); }, kTimeoutMs));
                continue;
            }
            ASSERT_TRUE(QTest::qWaitFor([&] { return drops.message() && drops.message()->isVisible(); }, kTimeoutMs));
            const QString text = drops.message()->text();
            EXPECT_TRUE(text.startsWith(message) && (text == message || text.contains(QLatin1String(" line ")))) << text.toStdString();
            drops.message()->button(message == useDat ? QMessageBox::Yes : QMessageBox::Ok)->click();
        }
        EXPECT_EQ(DatCatalog::paths(), QStringList({world.path(QStringLiteral("n64.xml")), world.path(QStringLiteral("dat.zip"))}));
        EXPECT_TRUE(QTest::qWaitFor([&] { return rows->index(0, LibraryModel::Dump).data().toString() == QStringLiteral("Verified"); }, kTimeoutMs));
        panel->showGrid(false);
        library->gameLibrary()->setFavourite(game, true);
        delete window;
    }
    EXPECT_EQ(UserDefaults::standardUserDefaults().valueForKey(QStringLiteral("LibraryView")).toString(), QStringLiteral("List"));
    PlayHistory stored;
    stored.open();
    EXPECT_TRUE(stored.entries().value(game).favourite);
    DatCatalog::add(dat);
    QMainWindow again;
    LibraryController library(&again);
    EXPECT_EQ(dumps(library.panel()), QStringLiteral("CF"));
}

} // namespace
