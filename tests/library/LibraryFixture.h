#pragma once

#include "library/LibraryScanner.h"
#include "support/RomImageBuilder.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <tuple>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>

// A temporary folder with helpers to make images and links in it, and a scan with what it told.
class LibraryFixture : public testing::Test
{
protected:
    // By bytes: QTemporaryDir leaves names that are not UTF-8 behind.
    ~LibraryFixture() override { std::error_code ignored; std::filesystem::remove_all(QFile::encodeName(m_dir.path()).toStdString(), ignored); }
    // The scanner watches folders through the event loop.
    static void SetUpTestSuite()
    {
        static int argc = 1;
        static char name[] = "library_core_test";
        static char *argv[] = {name, nullptr};
        static QCoreApplication app(argc, argv);
    }
    QString file(const QString &name, qsizetype size = 8192) const
    {
        const QString path = m_dir.filePath(name);
        QDir().mkpath(QFileInfo(path).absolutePath());
        EXPECT_TRUE(RomImageBuilder().setSize(size).setName(QFileInfo(name).baseName().toLatin1()).writeTo(path));
        // Changed long ago: a file read moments after its change is read again at the next scan.
        backdate(path);
        return path;
    }
    // The library folder "lib" and its cache, by default.
    QString cache() const { return m_dir.filePath(QStringLiteral("cache/library.sqlite")); }
    QStringList folders() const { return {m_dir.filePath(QStringLiteral("lib"))}; }
    QString link(const QString &target, const QString &name) const
    {
        EXPECT_TRUE(QFile::link(target, m_dir.filePath(name)));
        return m_dir.filePath(name);
    }

    /// Whether the scanner told of a change (counted in \a changes) within two seconds; counts anew.
    static bool waitForChange(int &changes)
    {
        for (QDeadlineTimer deadline(2000); changes == 0 && !deadline.hasExpired();)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        return std::exchange(changes, 0) > 0;
    }
    static void backdate(const QString &path) { setTime(path, QDateTime::currentSecsSinceEpoch() - 3600); }
    static void setTime(const QString &path, qint64 seconds)
    {
        const struct timespec times[2] = {{0, UTIME_OMIT}, {seconds, 0}};
        ASSERT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0), 0);
    }

    QTemporaryDir m_dir;
};

struct ScanResult
{
    std::tuple<int, int, int> counts; // total, from the cache, read
    QStringList messages, problems;
    QList<LibraryRecord> found;
    QList<QByteArray> removed;
};

inline ScanResult scan(const QString &cachePath, const QStringList &folders, const std::function<void(LibraryScanner &)> &setUp = {})
{
    ScanResult result;
    LibraryScanner scanner(cachePath, 2);
    if (setUp)
        setUp(scanner);
    QObject::connect(&scanner, &LibraryScanner::finished, [&](int total, int fromCache, int read, bool, const QStringList &problems, auto...) {
        result.counts = {total, fromCache, read};
        result.problems = problems;
    });
    QObject::connect(&scanner, &LibraryScanner::cacheMessage, [&](const QString &message) { result.messages.append(message); });
    QObject::connect(&scanner, &LibraryScanner::recordsFound, [&](const QList<LibraryRecord> &records) { result.found += records; });
    QObject::connect(&scanner, &LibraryScanner::recordsRemoved, [&](const QList<QByteArray> &paths) { result.removed += paths; });
    scanner.scan(folders);
    return result;
}

