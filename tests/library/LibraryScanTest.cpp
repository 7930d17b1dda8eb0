// A scan beside slow archives: what finished is told, what was found is kept.
#include "LibraryFixture.h"
#include "support/Bytes.h"

#include <QProcess>
#include <QRandomGenerator>

namespace {

using LibraryScanTest = LibraryFixture;

TEST_F(LibraryScanTest, rowsAndCountsComeAsReadsFinishAndACancelledArchiveIsNotCountedAsRead)
{
    // 8 MiB of random letters in a .7z unpack at tens of MB/s: slow beside three plain files.
    QByteArray image = RomImageBuilder().setSize(8 << 20).image();
    QRandomGenerator random(25);
    for (qsizetype i = 4096; i < image.size(); ++i)
        image[i] = char('a' + random.bounded(26));
    ASSERT_TRUE(writeBytes(file(QStringLiteral("slow.z64")), image) && QDir(m_dir.path()).mkpath(QStringLiteral("lib")));
    QProcess sevenZip;
    sevenZip.setWorkingDirectory(m_dir.path());
    sevenZip.start(QStringLiteral("7zr"), {QStringLiteral("a"), QStringLiteral("-mx=1"), QStringLiteral("-bd"), QStringLiteral("lib/a.7z"), QStringLiteral("slow.z64")});
    ASSERT_TRUE(sevenZip.waitForFinished(60000) && sevenZip.exitCode() == 0) << "7zr (p7zip) is needed";
    backdate(m_dir.filePath(QStringLiteral("lib/a.7z")));
    for (const char *name : {"b", "c", "d"})
        file(QStringLiteral("lib/%1.z64").arg(QLatin1String(name)));
    // The count told before the archive's row: the three files, told while it is read.
    bool archiveTold = false;
    int mostCounted = 0;
    const ScanResult first = scan(m_dir.filePath(QStringLiteral("one.sqlite")), folders(), [&](LibraryScanner &scanner) {
        QObject::connect(&scanner, &LibraryScanner::recordsFound, [&](const QList<LibraryRecord> &records) {
            archiveTold = archiveTold || std::any_of(records.cbegin(), records.cend(), [](const LibraryRecord &r) { return !r.entry.isEmpty(); });
        });
        QObject::connect(&scanner, &LibraryScanner::progress, [&](int read) { mostCounted = archiveTold ? mostCounted : read; });
    });
    EXPECT_EQ(mostCounted, 3);
    EXPECT_EQ(first.counts, std::tuple(4, 0, 4));
    // Cancelled while the archive is read: three read, and the archive is read at the next scan.
    const QString cache = m_dir.filePath(QStringLiteral("two.sqlite"));
    const ScanResult cancelled = scan(cache, folders(), [&](LibraryScanner &scanner) {
        QObject::connect(&scanner, &LibraryScanner::recordsFound, [&scanner]() { scanner.cancel(); });
    });
    EXPECT_EQ(cancelled.counts, std::tuple(4, 0, 3));
    EXPECT_EQ(scan(cache, folders()).counts, std::tuple(4, 3, 1));
}

} // namespace
