#include "LibraryFixture.h"

#include <QThread>

#include <algorithm>
#include <cstdlib>

namespace {

using LibraryChangeTest = LibraryFixture;

// The last row told for the file.
LibraryRecord rowOf(const ScanResult &result, const QString &path)
{
    const auto found = std::find_if(result.found.crbegin(), result.found.crend(),
                                    [&](const LibraryRecord &record) { return record.path == QFile::encodeName(path); });
    return found == result.found.crend() ? LibraryRecord() : *found;
}

TEST_F(LibraryChangeTest, aFileWhoseDriveGoesAwayDuringTheScanIsKeptAsNotAvailableAndReadWhenBack)
{
    file(QStringLiteral("lib/one.z64"));
    const QString two = file(QStringLiteral("lib/drive/two.z64"));
    link(m_dir.filePath(QStringLiteral("nowhere")), QStringLiteral("lib/dangling.z64")); // refused for good
    const QString drive = m_dir.filePath(QStringLiteral("lib/drive")), away = m_dir.filePath(QStringLiteral("away"));
    // Gone between the walk and the read, as a drive pulled out: the file's stamp is untouched.
    const auto goneWhileRead = [&](LibraryScanner &scanner) {
        QObject::connect(&scanner, &LibraryScanner::progress, [&](int read) {
            if (read == 0) {
                EXPECT_TRUE(QDir().rename(drive, away));
            }
        });
    };
    const ScanResult cold = scan(cache(), folders(), goneWhileRead);
    EXPECT_EQ(cold.counts, std::tuple(3, 0, 3));
    EXPECT_EQ(rowOf(cold, two).unreachableFolder, QFile::encodeName(drive));
    EXPECT_EQ(cold.problems, QStringList(QStringLiteral("Files that went away while they were read (a drive removed?): 1. They are kept as not available and read when they are back.")));

    ASSERT_TRUE(QDir().rename(away, drive));
    const ScanResult back = scan(cache(), folders());
    EXPECT_EQ(back.counts, std::tuple(3, 2, 1));
    EXPECT_TRUE(rowOf(back, two).valid) << rowOf(back, two).refusalReason().toStdString();

    // Changed, then gone while read: the row keeps what it held, and the new file is read once back.
    ASSERT_TRUE(RomImageBuilder().setName("NEW").writeTo(two));
    backdate(two);
    const ScanResult warm = scan(cache(), folders(), goneWhileRead);
    EXPECT_TRUE(rowOf(warm, two).name().startsWith(QStringLiteral("two")));
    EXPECT_EQ(rowOf(warm, two).unreachableFolder, QFile::encodeName(drive));
    EXPECT_TRUE(warm.removed.isEmpty());
    ASSERT_TRUE(QDir().rename(away, drive));
    const ScanResult again = scan(cache(), folders());
    EXPECT_EQ(again.counts, std::tuple(3, 2, 1));
    EXPECT_TRUE(rowOf(again, two).name().startsWith(QStringLiteral("NEW")));
}

TEST_F(LibraryChangeTest, aFileReadWithinATimeStepOfItsChangeIsReadAgainAtTheNextScan)
{
    // Just written: on a file system with whole seconds a same-size rewrite now would keep its stamp.
    const QString one = m_dir.filePath(QStringLiteral("lib/one.z64"));
    QDir().mkpath(folders()[0]);
    ASSERT_TRUE(RomImageBuilder().writeTo(one));
    const ScanResult first = scan(cache(), folders());
    EXPECT_EQ(first.counts, std::tuple(1, 0, 1));
    EXPECT_FALSE(rowOf(first, one).stamp.sameFileAs(rowOf(first, one).stamp)); // nor is it opened as it is
    EXPECT_EQ(scan(cache(), folders()).counts, std::tuple(1, 0, 1));
    // Read again once the step has passed, it is trusted from then on.
    QThread::msleep(2100);
    EXPECT_EQ(scan(cache(), folders()).counts, std::tuple(1, 0, 1));
    EXPECT_EQ(scan(cache(), folders()).counts, std::tuple(1, 1, 0));
}

TEST_F(LibraryChangeTest, aLibraryFolderMadeAgainSwappedOrRepointedAndSymlinkedSubfoldersAreNoticed)
{
    file(QStringLiteral("a/one.z64"));
    file(QStringLiteral("b/one.z64"));
    file(QStringLiteral("b/two.z64"));
    file(QStringLiteral("other/three.z64"));
    const QString lib = folders()[0];
    link(m_dir.filePath(QStringLiteral("a")), QStringLiteral("lib"));
    LibraryScanner scanner(cache(), 1);
    int changes = 0, total = 0;
    QObject::connect(&scanner, &LibraryScanner::foldersChanged, [&]() { ++changes; });
    QObject::connect(&scanner, &LibraryScanner::finished, [&](int count) { total = count; });
    scanner.scan(folders());
    ASSERT_EQ(total, 1);
    const auto run = [](const QString &command) { return std::system(command.toLocal8Bit().constData()) == 0; };
    const struct {
        const char *what;
        QString command;
        int total;
    } cases[] = {
        {"re-pointed", QStringLiteral("ln -sfn b %1").arg(lib), 2},
        {"a symlinked folder added", QStringLiteral("ln -s ../other %1/more").arg(lib), 3},
        {"a symlinked folder removed", QStringLiteral("rm %1/more").arg(lib), 2},
        {"made again", QStringLiteral("rm %1 && mkdir %1 && cp %2/a/one.z64 %1/").arg(lib, m_dir.path()), 1},
        {"swapped", QStringLiteral("cp -a %1 %1.new && cp %2/b/two.z64 %1.new/ && mv %1 %1.old && mv %1.new %1").arg(lib, m_dir.path()), 2},
    };
    for (const auto &change : cases) {
        changes = 0;
        ASSERT_TRUE(run(QStringLiteral("cd %1 && ").arg(m_dir.path()) + change.command)) << change.what;
        EXPECT_TRUE(waitForChange(changes)) << change.what;
        scanner.scan(folders());
        EXPECT_EQ(total, change.total) << change.what;
    }
}

TEST(LibraryMountsTest, onlyMountsOnUnderOrAboveALibraryFolderConcernTheLibrary)
{
    const QByteArray info = "22 1 8:1 / / rw - ext4 /dev/sda1 rw\n"
                            "40 22 8:17 / /media/usb rw - ext4 /dev/sdb1 rw\n"
                            "41 22 0:50 / /run/user/1000/doc rw - fuse /dev/fuse rw\n"
                            "42 22 0:51 / /srv/tmp1 rw - tmpfs tmpfs rw\n"
                            "43 22 7:0 / /home/p/My\\040Games/disc rw - ext4 /dev/loop0 rw\n"
                            "44 22 7:1 / /media/usb2 rw - ext4 /dev/loop1 rw\n";
    const QSet<QByteArray> expected{"22 /", "40 /media/usb", "43 /home/p/My Games/disc"};
    EXPECT_EQ(LibraryScanner::mountsConcerning(info, {"/media/usb/roms", "/home/p/My Games"}), expected);
}

TEST_F(LibraryChangeTest, afterCancelAChangeReadsWhatChangedNotWhatWasCancelled)
{
    for (const char *name : {"a", "b", "c", "d"})
        file(QStringLiteral("lib/%1.z64").arg(QLatin1String(name)));
    LibraryScanner scanner(cache(), 1);
    std::tuple<int, int, int, bool> told;
    QObject::connect(&scanner, &LibraryScanner::finished, [&](int total, int fromCache, int read, bool cancelled) {
        told = {total, fromCache, read, cancelled};
    });
    const auto cancelling = QObject::connect(&scanner, &LibraryScanner::progress, [&]() { scanner.cancel(); });
    scanner.scan(folders());
    EXPECT_EQ(told, std::tuple(4, 0, 0, true));
    QObject::disconnect(cancelling);
    file(QStringLiteral("lib/e.z64"));
    scanner.scanChanges(folders());
    EXPECT_EQ(told, std::tuple(1, 0, 1, true)); // still partial: the status keeps saying so
    scanner.scan(folders());
    EXPECT_EQ(told, std::tuple(5, 1, 4, false));
}

TEST_F(LibraryChangeTest, aFileRenamedOrMovedWithinTheLibraryKeepsItsRecordAndIsNotRead)
{
    for (const char *name : {"a", "b", "c"})
        file(QStringLiteral("lib/old/%1.z64").arg(QLatin1String(name)));
    const QStringList both{folders()[0], m_dir.filePath(QStringLiteral("lib2"))};
    QDir().mkpath(both[1]);
    EXPECT_EQ(scan(cache(), both).counts, std::tuple(3, 0, 3));
    ASSERT_TRUE(QDir().rename(m_dir.filePath(QStringLiteral("lib/old")), m_dir.filePath(QStringLiteral("lib/new"))));
    ASSERT_TRUE(QDir().rename(m_dir.filePath(QStringLiteral("lib/new/c.z64")), m_dir.filePath(QStringLiteral("lib2/c.z64"))));
    const ScanResult renamed = scan(cache(), both);
    EXPECT_EQ(renamed.counts, std::tuple(3, 3, 0));
    EXPECT_EQ(renamed.removed.size(), 3);
    EXPECT_TRUE(rowOf(renamed, m_dir.filePath(QStringLiteral("lib2/c.z64"))).name().startsWith(QStringLiteral("c")));
    EXPECT_EQ(scan(cache(), both).counts, std::tuple(3, 3, 0)); // kept under the new names
}

} // namespace
