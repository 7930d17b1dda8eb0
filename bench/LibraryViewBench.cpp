// The library's views with ten thousand games, without any ROM file:
//   tolvane-view-bench filter        per keystroke: the rebuilt filter in the table and in the grid,
//                                    against a sorting filter proxy's invalidateFilter() in the same run
//   tolvane-view-bench scroll DIR    the grid with a cover each from DIR (named by MD5), a page
//                                    every 100 ms from top to bottom: worst GUI stall, peak memory
//   tolvane-view-bench covers DIR    writes 200 distinct 2000 x 2800 JPEGs into DIR and a hard link
//                                    to one of them for each game, named by its MD5
//   tolvane-view-bench appear        milliseconds from the start of main() to the window's first
//                                    paint, with whatever library and history the XDG folders hold
// Run with QT_QPA_PLATFORM=offscreen and XDG folders of its own.
#include "library/LibraryController.h"
#include "library/LibraryFilterModel.h"
#include "library/LibraryGridView.h"
#include "library/LibraryModel.h"
#include "library/LibraryPanel.h"
#include "platform/UserDefaults.h"
#include "rom/ROM.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QMainWindow>
#include <QPainter>
#include <QScrollBar>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <functional>
#include <cstdio>
#include <ctime>
#include <unistd.h>

namespace {

constexpr int kGames = 10000;
QElapsedTimer startClock;

QList<LibraryRecord> games()
{
    static const char *words[] = {"SUPER", "MARIO", "KART", "ZELDA", "WAVE", "RACE", "STAR", "FOX", "GOLDEN",
                                  "PILOT", "WINGS", "PARTY", "BANJO", "DIDDY", "PAPER", "ROBOT", "TENNIS", "GOLF"};
    QList<LibraryRecord> records;
    for (int i = 0; i < kGames; ++i) {
        ROM rom;
        const QString name = QStringLiteral("%1 %2 %3").arg(QLatin1String(words[i % 18]), QLatin1String(words[(i / 18) % 18])).arg(i);
        const QString path = QStringLiteral("/bench/roms/game%1.z64").arg(i, 5, 10, QLatin1Char('0'));
        rom.setFilePath(QUrl::fromLocalFile(path));
        rom.setName(name);
        rom.setGameCode(QStringLiteral("N%1").arg(i % 1000, 3, 10, QLatin1Char('0')));
        rom.setMD5(QStringLiteral("%1").arg(i, 32, 10, QLatin1Char('0')));
        rom.setCRC1(quint32(i));
        rom.setCRC2(quint32(i));
        rom.setCic(6102);
        rom.setByteOrder(QStringLiteral("z64"));
        rom.setFileSize(8 << 20);
        rom.setRegionCode("EJP"[i % 3]);
        FileStamp stamp;
        stamp.size = 8 << 20;
        records.append(LibraryRecord::fromROM(QFile::encodeName(path), stamp, rom));
    }
    return records;
}

qint64 peakRssKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    return 0;
}

struct Window
{
    QMainWindow window;
    std::unique_ptr<LibraryController> library;
    Window()
    {
        window.resize(1280, 800);
        library = std::make_unique<LibraryController>(&window);
        window.setCentralWidget(library->panel());
    }
};

// The former filter: a sorting proxy that is told to filter again at every keystroke.
class ReferenceFilter : public QSortFilterProxyModel
{
public:
    void setText(const QString &text)
    {
        m_text = text;
        invalidateFilter();
    }

protected:
    bool filterAcceptsRow(int row, const QModelIndex &parent) const override
    {
        for (const int column : {LibraryModel::Name, LibraryModel::FileName, LibraryModel::GameCode})
            if (sourceModel()->index(row, column, parent).data().toString().contains(m_text, Qt::CaseInsensitive))
                return true;
        return false;
    }

private:
    QString m_text;
};

qint64 threadCpuNs()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
}

// Types "mario kart 1" and deletes it again; the wall and GUI-thread CPU time of each keystroke, in ms.
std::pair<std::vector<double>, std::vector<double>> typeAndDelete(const std::function<void(const QString &)> &setText)
{
    const QString typed = QStringLiteral("mario kart 1");
    std::vector<double> wall;
    std::vector<double> cpu;
    QElapsedTimer clock;
    for (int length = 1; length <= typed.size() * 2; ++length) {
        const int shown = length <= typed.size() ? length : typed.size() * 2 - length;
        clock.start();
        const qint64 cpuStart = threadCpuNs();
        setText(typed.left(shown));
        QCoreApplication::processEvents();
        wall.push_back(clock.nsecsElapsed() / 1e6);
        cpu.push_back((threadCpuNs() - cpuStart) / 1e6);
    }
    return {wall, cpu};
}

void report(const char *what, std::pair<std::vector<double>, std::vector<double>> times)
{
    auto &[wall, cpu] = times;
    std::sort(wall.begin(), wall.end());
    std::sort(cpu.begin(), cpu.end());
    std::printf("%s: median %.1f ms, worst %.1f ms per keystroke (GUI thread CPU: median %.1f ms, worst %.1f ms)\n",
                what, wall[wall.size() / 2], wall.back(), cpu[cpu.size() / 2], cpu.back());
}

int filterBench()
{
    Window w;
    w.window.show();
    w.library->model()->addRecords(games());
    QCoreApplication::processEvents();
    LibraryPanel *panel = w.library->panel();
    const auto ours = [&](const QString &text) { panel->searchField()->setText(text); };
    panel->tableView()->selectRow(5);
    typeAndDelete(ours); // warms the search texts
    report("table, rebuilt filter", typeAndDelete(ours));
    panel->showGrid(true);
    QCoreApplication::processEvents();
    report("grid, rebuilt filter", typeAndDelete(ours));
    panel->showGrid(false);

    ReferenceFilter reference;
    reference.setSourceModel(w.library->model());
    reference.setSortRole(LibraryModel::SortRole);
    reference.setSortCaseSensitivity(Qt::CaseInsensitive);
    reference.setSortLocaleAware(true);
    QTableView table;
    table.setModel(&reference);
    table.setSortingEnabled(true);
    table.sortByColumn(LibraryModel::Name, Qt::AscendingOrder);
    table.resize(900, 700);
    table.show();
    table.selectRow(5);
    QCoreApplication::processEvents();
    report("table, invalidateFilter (reference)", typeAndDelete([&](const QString &text) { reference.setText(text); }));
    return 0;
}

int scrollBench()
{
    // The panel takes most of the window, as for a player browsing covers.
    UserDefaults::standardUserDefaults().setValueForKey(QStringLiteral("LibraryPanelWidth"), 1180);
    Window w;
    w.library->panel()->showGrid(true);
    w.window.show();
    w.library->model()->addRecords(games());
    QCoreApplication::processEvents();
    LibraryGridView *grid = w.library->panel()->gridView();
    QScrollBar *bar = grid->verticalScrollBar();
    QElapsedTimer clock;
    clock.start();
    qint64 last = 0, lastCpu = threadCpuNs(), worst = 0, worstCpu = 0;
    QTimer heartbeat;
    heartbeat.setInterval(5);
    QObject::connect(&heartbeat, &QTimer::timeout, [&]() {
        const qint64 now = clock.nsecsElapsed();
        const qint64 cpu = threadCpuNs();
        if (now - last > worst) {
            worst = now - last;
            worstCpu = cpu - lastCpu;
        }
        last = now;
        lastCpu = cpu;
    });
    QTimer pager;
    pager.setInterval(100);
    int pages = 0;
    QObject::connect(&pager, &QTimer::timeout, [&]() {
        if (bar->value() >= bar->maximum()) {
            std::printf("grid of %d covers: %d pages in %.1f s, GUI thread busy %.1f ms of its worst stall of %.1f ms, "
                        "peak memory %.0f MiB\n",
                        grid->model()->rowCount(), pages, clock.elapsed() / 1e3, worstCpu / 1e6, worst / 1e6,
                        peakRssKiB() / 1024.0);
            QCoreApplication::quit();
            return;
        }
        bar->setValue(bar->value() + bar->pageStep());
        ++pages;
    });
    heartbeat.start();
    pager.start();
    last = clock.nsecsElapsed();
    return QCoreApplication::exec();
}

int makeCovers(const QString &folder)
{
    QDir().mkpath(folder);
    const QList<LibraryRecord> records = games();
    for (int i = 0; i < kGames; ++i) {
        const QString distinct = QStringLiteral("%1/picture%2.jpg").arg(folder).arg(i % 200);
        if (i < 200) {
            QImage image(2000, 2800, QImage::Format_RGB32);
            QPainter painter(&image);
            painter.fillRect(image.rect(), QColor::fromHsv(i * 7 % 360, 160, 200));
            for (int band = 0; band < 60; ++band)
                painter.fillRect(0, band * 47, 2000, 20, QColor::fromHsv((i * 7 + band * 13) % 360, 120, 120 + band));
            painter.end();
            if (!image.save(distinct, "jpg", 90))
                return 1;
        }
        const QString link = QStringLiteral("%1/%2.jpg").arg(folder, records.at(i).md5());
        QFile::remove(link);
        if (::link(QFile::encodeName(distinct).constData(), QFile::encodeName(link).constData()) != 0)
            return 1;
    }
    return 0;
}

int appearBench()
{
    Window w;
    struct FirstPaint : QObject
    {
        bool eventFilter(QObject *watched, QEvent *event) override
        {
            if (event->type() == QEvent::Paint && watched->isWidgetType()) {
                QTimer::singleShot(0, qApp, []() {
                    std::printf("%.1f\n", startClock.nsecsElapsed() / 1e6);
                    QCoreApplication::quit();
                });
                qApp->removeEventFilter(this);
            }
            return false;
        }
    } firstPaint;
    qApp->installEventFilter(&firstPaint);
    w.window.show();
    return QCoreApplication::exec();
}

} // namespace

int main(int argc, char **argv)
{
    startClock.start();
    QApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    const QString mode = arguments.value(1);
    if (mode == QLatin1String("filter"))
        return filterBench();
    if (mode == QLatin1String("scroll") && arguments.size() == 3) {
        UserDefaults::standardUserDefaults().setValueForKey(LibraryController::coversFolderKey, arguments.at(2));
        return scrollBench();
    }
    if (mode == QLatin1String("covers") && arguments.size() == 3)
        return makeCovers(arguments.at(2));
    if (mode == QLatin1String("appear"))
        return appearBench();
    std::fprintf(stderr, "usage: tolvane-view-bench filter | scroll COVERS_DIR | covers DIR | appear\n");
    return 2;
}
