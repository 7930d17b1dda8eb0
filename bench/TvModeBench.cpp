// TV mode with ten thousand games and covers, Down held on a pad (auto-repeated key presses
// posted every 120 ms, as a pad repeats) from the top of the grid:
//   tolvane-tv-bench [STEPS]     (default 250 steps, 30 s)
// Reports the GUI thread's longest stall (a 5 ms timer's longest gap; target none over 50 ms)
// and, per step, the time from the posted key press to the end of the first paint of the
// window after it (median and worst; target a median within one 60 Hz frame, 16.7 ms).
// Makes its library, covers (hard links to 100 distinct 1600 x 2240 JPEGs, named by MD5)
// and XDG folders in a temporary folder. Run on the display to measure (Xvfb), or with
// QT_QPA_PLATFORM=offscreen.
#include "library/LibraryController.h"
#include "library/LibraryGridView.h"
#include "library/LibraryModel.h"
#include "library/LibraryPanel.h"
#include "mainwindow/TvMode.h"
#include "mainwindow/WindowController.h"
#include "platform/UserDefaults.h"
#include "rom/ROM.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QKeyEvent>
#include <QPainter>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

#include <ctime>
#include <unistd.h>

namespace {

constexpr int kGames = 10000;
constexpr int kRepeatMs = 120;
constexpr int kDistinctCovers = 100;

QList<LibraryRecord> games(const QString &covers)
{
    QList<LibraryRecord> records;
    QDir().mkpath(covers);
    for (int i = 0; i < kGames; ++i) {
        ROM rom;
        const QString path = QStringLiteral("/bench/roms/game%1.z64").arg(i, 5, 10, QLatin1Char('0'));
        rom.setFilePath(QUrl::fromLocalFile(path));
        rom.setName(QStringLiteral("GAME NUMBER %1").arg(i));
        rom.setGameCode(QStringLiteral("N%1").arg(i % 1000, 3, 10, QLatin1Char('0')));
        rom.setMD5(QStringLiteral("%1").arg(i, 32, 10, QLatin1Char('0')));
        rom.setCic(6102);
        rom.setByteOrder(QStringLiteral("z64"));
        rom.setFileSize(8 << 20);
        rom.setRegionCode("EJP"[i % 3]);
        FileStamp stamp;
        stamp.size = 8 << 20;
        records.append(LibraryRecord::fromROM(QFile::encodeName(path), stamp, rom));

        const QString distinct = QStringLiteral("%1/picture%2.jpg").arg(covers).arg(i % kDistinctCovers);
        if (i < kDistinctCovers) {
            QImage image(1600, 2240, QImage::Format_RGB32);
            QPainter painter(&image);
            for (int band = 0; band < 48; ++band)
                painter.fillRect(0, band * 47, 1600, 47, QColor::fromHsv((i * 7 + band * 13) % 360, 140, 120 + band * 2));
            painter.end();
            image.save(distinct, "jpg", 90);
        }
        const QByteArray link = QFile::encodeName(QStringLiteral("%1/%2.jpg").arg(covers, rom.MD5().value_or(QString())));
        if (::link(QFile::encodeName(distinct).constData(), link.constData()) != 0)
            std::perror("link");
    }
    return records;
}

qint64 threadCpuNs()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

// Times each step: from the key press posted to the end of the window's first paint that
// painted the grid after it, and the event loop's longest gap.
class StepClock : public QObject
{
public:
    StepClock(QWidget *window, QWidget *viewport) : m_window(window), m_viewport(viewport)
    {
        m_clock.start();
        window->installEventFilter(this);
        viewport->installEventFilter(this);
        m_heartbeat.setInterval(5);
        connect(&m_heartbeat, &QTimer::timeout, this, [this]() {
            const qint64 now = m_clock.nsecsElapsed(), cpu = threadCpuNs();
            if (now - m_lastBeatNs > m_worstGapNs) {
                m_worstGapNs = now - m_lastBeatNs;
                m_worstGapCpuNs = cpu - m_lastBeatCpuNs;
            }
            m_lastBeatNs = now;
            m_lastBeatCpuNs = cpu;
        });
        m_lastBeatNs = m_clock.nsecsElapsed();
        m_lastBeatCpuNs = threadCpuNs();
        m_heartbeat.start();
    }
    void keyPosted() { m_postedNs = m_clock.nsecsElapsed(), m_gridPainted = false; }
    std::vector<double> steps;
    double worstGapMs() const { return m_worstGapNs / 1e6; }
    /// How much of the longest gap the GUI thread itself was working.
    double worstGapBusyMs() const { return m_worstGapCpuNs / 1e6; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == m_viewport && event->type() == QEvent::Paint && m_postedNs >= 0)
            m_gridPainted = true;
        // The window paints its dirty widgets and flushes them in its update request: the
        // step is on screen when that returns.
        if (watched == m_window && event->type() == QEvent::UpdateRequest) {
            const bool handled = static_cast<QObject *>(m_window)->event(event);
            if (m_gridPainted && m_postedNs >= 0) {
                steps.push_back((m_clock.nsecsElapsed() - m_postedNs) / 1e6);
                m_postedNs = -1;
            }
            return handled;
        }
        return false;
    }

private:
    QWidget *m_window;
    QWidget *m_viewport;
    QElapsedTimer m_clock;
    QTimer m_heartbeat;
    qint64 m_lastBeatNs = 0;
    qint64 m_worstGapNs = 0;
    qint64 m_lastBeatCpuNs = 0;
    qint64 m_worstGapCpuNs = 0;
    qint64 m_postedNs = -1;
    bool m_gridPainted = false;
};

} // namespace

int main(int argc, char **argv)
{
    QTemporaryDir root;
    for (const char *name : {"HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_DATA_HOME", "XDG_RUNTIME_DIR"}) {
        const QString folder = root.filePath(QString::fromLatin1(name));
        QDir().mkpath(folder);
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv(name, QFile::encodeName(folder));
    }
    QApplication app(argc, argv);
    const int stepsWanted = app.arguments().value(1, QStringLiteral("250")).toInt();
    const QString covers = root.filePath(QStringLiteral("covers"));
    const QList<LibraryRecord> records = games(covers);
    UserDefaults::standardUserDefaults().setValueForKey(LibraryController::coversFolderKey, covers);

    WindowController controller;
    controller.showWindow(nullptr);
    controller.library()->model()->addRecords(records);
    controller.tvMode()->setActive(true);
    LibraryGridView *grid = controller.library()->panel()->gridView();
    QElapsedTimer settle;
    settle.start();
    while (settle.elapsed() < 1500)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    grid->setCurrentIndex(grid->model()->index(0, LibraryModel::Name));
    grid->setFocus();

    StepClock clock(controller.window(), grid->viewport());
    QTimer pad;
    pad.setInterval(kRepeatMs);
    int posted = 0;
    QObject::connect(&pad, &QTimer::timeout, [&]() {
        if (posted == stepsWanted) {
            pad.stop();
            const QScreen *screen = controller.window()->screen();
            std::printf("TV mode, %d games with covers on a %dx%d screen, %d columns of %d px covers: Down held "
                        "for %d steps (%d ms repeat) to row %d; step painted after median %.1f ms, worst %.1f ms "
                        "(%zu steps painted); longest GUI stall %.1f ms (GUI thread busy %.1f ms of it)\n",
                        kGames, screen->geometry().width(), screen->geometry().height(), LibraryGridView::kTvColumns,
                        grid->coverWidth(), posted, kRepeatMs, grid->currentIndex().row(), median(clock.steps),
                        clock.steps.empty() ? 0.0 : *std::max_element(clock.steps.begin(), clock.steps.end()),
                        clock.steps.size(), clock.worstGapMs(), clock.worstGapBusyMs());
            // Not quit(): the main window refuses to close, which vetoes it.
            QCoreApplication::exit(0);
            return;
        }
        clock.keyPosted();
        QCoreApplication::postEvent(grid, new QKeyEvent(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier, QString(), posted > 0));
        QCoreApplication::postEvent(grid, new QKeyEvent(QEvent::KeyRelease, Qt::Key_Down, Qt::NoModifier, QString(), true));
        ++posted;
    });
    pad.start();
    return QCoreApplication::exec();
}
