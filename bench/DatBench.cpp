// The player's DAT files, measured as the Launcher meets them:
//   tolvane-dat-bench read FILE...   milliseconds to read each DAT whole (median of 3)
//   tolvane-dat-bench stall FILE     the GUI thread's longest gap (a 5 ms timer) while the library,
//                                    with 10,000 games in its panel, takes FILE as its only DAT
//   tolvane-dat-bench start          milliseconds from the library's start to the end of its rescan,
//                                    and to its last status (with "DatFiles" set), over the XDG
//                                    folders' settings
// Run with QT_QPA_PLATFORM=offscreen and XDG folders of its own; bench/dat_bench.py does all.
#include "dat/DatFile.h"
#include "library/DatCatalog.h"
#include "library/GameLibrary.h"
#include "library/LibraryController.h"
#include "library/LibraryModel.h"
#include "library/LibraryPanel.h"
#include "platform/UserDefaults.h"
#include "rom/ROM.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QMainWindow>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

namespace {

qint64 threadCpuNs()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
}

int readBench(const QStringList &files)
{
    for (const QString &file : files) {
        std::vector<double> times;
        std::size_t entries = 0;
        for (int round = 0; round < 3; ++round) {
            QElapsedTimer clock;
            clock.start();
            DatFile::Refusal refusal;
            const std::shared_ptr<const DatFile> dat = DatFile::read(file, &refusal);
            times.push_back(clock.nsecsElapsed() / 1e6);
            if (!dat) {
                std::fprintf(stderr, "%s: %s\n", qPrintable(file), qPrintable(refusal.text()));
                return 1;
            }
            entries = dat->roms().size();
        }
        std::sort(times.begin(), times.end());
        std::printf("%s: %zu entries, median %.1f ms\n", qPrintable(file), entries, times[1]);
    }
    return 0;
}

QList<LibraryRecord> games()
{
    QList<LibraryRecord> records;
    for (int i = 0; i < 10000; ++i) {
        ROM rom;
        const QString path = QStringLiteral("/bench/roms/game%1.z64").arg(i, 5, 10, QLatin1Char('0'));
        rom.setFilePath(QUrl::fromLocalFile(path));
        rom.setName(QStringLiteral("GAME %1").arg(i));
        rom.setGameCode(QStringLiteral("N%1").arg(i % 1000, 3, 10, QLatin1Char('0')));
        rom.setMD5(QStringLiteral("%1").arg(i, 32, 16, QLatin1Char('0')));
        rom.setCRC1(quint32(i));
        rom.setCRC2(quint32(i));
        rom.setCic(6102);
        rom.setFileSize(8 << 20);
        FileStamp stamp;
        stamp.size = 8 << 20;
        records.append(LibraryRecord::fromROM(QFile::encodeName(path), stamp, rom));
    }
    return records;
}

int stallBench(const QString &file)
{
    UserDefaults::standardUserDefaults().setValueForKey(DatCatalog::key, QVariantList());
    QMainWindow window;
    window.resize(1280, 800);
    LibraryController library(&window);
    window.setCentralWidget(library.panel());
    library.model()->addRecords(games());
    window.show();
    QElapsedTimer clock;
    qint64 last = 0, lastCpu = 0, worst = 0, worstCpu = 0;
    bool reading = false;
    QTimer heartbeat;
    heartbeat.setInterval(5);
    QObject::connect(&heartbeat, &QTimer::timeout, [&]() {
        const qint64 now = clock.nsecsElapsed(), cpu = threadCpuNs();
        if (reading && now - last > worst)
            worst = now - last, worstCpu = cpu - lastCpu;
        last = now;
        lastCpu = cpu;
    });
    QObject::connect(library.gameLibrary(), &GameLibrary::datsChanged, qApp, [&]() {
        if (!reading)
            return;
        // The statuses are shown too: one more turn of the loop paints them.
        QTimer::singleShot(0, qApp, [&]() {
            const qint64 now = clock.nsecsElapsed();
            worst = std::max(worst, now - last);
            std::printf("DAT read and shown in %.0f ms, GUI thread busy %.1f ms of its worst stall of %.1f ms\n", now / 1e6,
                        worstCpu / 1e6, worst / 1e6);
            QCoreApplication::quit();
        });
    });
    // Once the window has been laid out and painted, which is not the DAT's doing.
    QTimer::singleShot(1000, qApp, [&]() {
        clock.start();
        last = 0;
        lastCpu = threadCpuNs();
        reading = true;
        UserDefaults::standardUserDefaults().setValueForKey(DatCatalog::key, QVariantList{file});
    });
    heartbeat.start();
    clock.start();
    return QCoreApplication::exec();
}

int startBench()
{
    GameLibrary library;
    const bool dats = !DatCatalog::paths().isEmpty();
    bool identified = !dats;
    double scanned = -1;
    QElapsedTimer clock;
    const auto done = [&]() {
        if (scanned >= 0 && identified) {
            std::printf("%.1f %.1f\n", scanned, clock.nsecsElapsed() / 1e6);
            QCoreApplication::quit();
        }
    };
    QObject::connect(&library, &GameLibrary::scanFinished, qApp, [&]() { scanned = clock.nsecsElapsed() / 1e6, done(); });
    QObject::connect(&library, &GameLibrary::datsChanged, qApp, [&]() { identified = true, done(); });
    clock.start();
    library.start();
    return QCoreApplication::exec();
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    const QString mode = arguments.value(1);
    if (mode == QLatin1String("read") && arguments.size() > 2)
        return readBench(arguments.mid(2));
    if (mode == QLatin1String("stall") && arguments.size() == 3)
        return stallBench(arguments.at(2));
    if (mode == QLatin1String("start"))
        return startBench();
    std::fprintf(stderr, "usage: tolvane-dat-bench read FILE... | stall FILE | start\n");
    return 2;
}
