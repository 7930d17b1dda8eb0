// A slow archive among quick files: what finished is shown and counted while it is read.
#include "LibraryFixture.h"

#include <QProcess>
#include <QRandomGenerator>

namespace {

class LibraryArchiveScanTest : public LibraryFixture
{
protected:
    // A .7z of 8 MiB of random letters, which unpacks at tens of MB/s: slow beside plain files.
    void slowArchive(const QString &name)
    {
        ASSERT_TRUE(QDir(m_dir.path()).mkpath(QFileInfo(name).path()));
        QByteArray image = RomImageBuilder().setSize(8 << 20).image();
        QRandomGenerator random(25);
        for (qsizetype i = 4096; i < image.size(); ++i)
            image[i] = char('a' + random.bounded(26));
        QFile plain(m_dir.filePath(QStringLiteral("slow.z64")));
        ASSERT_TRUE(plain.open(QIODevice::WriteOnly) && plain.write(image) == image.size());
        plain.close();
        QProcess sevenZip;
        sevenZip.setWorkingDirectory(m_dir.path());
        sevenZip.start(QStringLiteral("7zr"), {QStringLiteral("a"), QStringLiteral("-mx=1"), QStringLiteral("-bd"), name,
                                               QStringLiteral("slow.z64")});
        ASSERT_TRUE(sevenZip.waitForFinished(60000) && sevenZip.exitCode() == 0) << "7zr (p7zip) is needed";
        backdate(m_dir.filePath(name));
    }
};

TEST_F(LibraryArchiveScanTest, rowsAndCountsComeAsReadsFinishAndACancelledArchiveIsNotCountedAsRead)
{
    slowArchive(QStringLiteral("lib/a.7z"));
    for (const char *name : {"b", "c", "d"})
        file(QStringLiteral("lib/%1.z64").arg(QLatin1String(name)));
    const QStringList folders{m_dir.filePath(QStringLiteral("lib"))};
    const QString cache = m_dir.filePath(QStringLiteral("library.sqlite"));
    // The quick files' rows and their count are told before the archive's row.
    QStringList order;
    int mostCounted = 0;
    const ScanResult first = scan(cache, folders, [&](LibraryScanner &scanner) {
        QObject::connect(&scanner, &LibraryScanner::recordsFound, [&](const QList<LibraryRecord> &records) {
            for (const LibraryRecord &record : records)
                order.append(record.entry.isEmpty() ? QStringLiteral("file") : QStringLiteral("archive"));
        });
        QObject::connect(&scanner, &LibraryScanner::progress, [&](int read) {
            if (order.isEmpty() || order.last() != QStringLiteral("archive"))
                mostCounted = std::max(mostCounted, read);
        });
    });
    EXPECT_EQ(order, QStringList({QStringLiteral("file"), QStringLiteral("file"), QStringLiteral("file"), QStringLiteral("archive")}));
    EXPECT_EQ(mostCounted, 3);
    EXPECT_EQ(first.counts, std::tuple(4, 0, 4));

    // Cancelled while the archive is read: three read, and the archive is read at the next scan.
    const QString again = m_dir.filePath(QStringLiteral("again.sqlite"));
    int cancelledRead = -1;
    scan(again, folders, [&](LibraryScanner &scanner) {
        QObject::connect(&scanner, &LibraryScanner::recordsFound, [&](const QList<LibraryRecord> &records) {
            if (!records.isEmpty())
                scanner.cancel();
        });
        QObject::connect(&scanner, &LibraryScanner::finished, [&](int, int, int read, bool cancelled) {
            EXPECT_TRUE(cancelled);
            cancelledRead = read;
        });
    });
    EXPECT_EQ(cancelledRead, 3);
    EXPECT_EQ(scan(again, folders).counts, std::tuple(4, 3, 1));
}

} // namespace
