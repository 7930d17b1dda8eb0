// Measures how long the GUI thread goes without running its event loop while the library
// panel fills from a cold scan: a 5 ms timer notes the longest gap between its ticks.
// Usage: tolvane-stall-bench DIR...   (XDG_CACHE_HOME should point at an empty folder)
#include "library/GameLibrary.h"
#include "library/LibraryController.h"
#include "library/LibraryFolders.h"
#include "library/LibraryModel.h"
#include "library/LibraryPanel.h"
#include "platform/UserDefaults.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMainWindow>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <ctime>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QVariantList folders;
    for (const QString &folder : app.arguments().mid(1))
        folders.append(folder);
    // Start with no folder, so that the window's first layout and paint are done before
    // the scan and do not count as its stalls.
    UserDefaults::standardUserDefaults().setValueForKey(LibraryFolders::key, QVariantList());

    QMainWindow window;
    window.resize(1000, 600);
    LibraryController library(&window);
    window.setCentralWidget(library.panel());
    window.show();

    // The GUI thread's own CPU time in the worst gap tells its work from waiting for a core.
    const auto threadCpuNs = []() {
        timespec now{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
        return qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
    };
    QElapsedTimer clock;
    qint64 last = 0;
    qint64 lastCpu = 0;
    qint64 worst = 0;
    qint64 worstCpu = 0;
    bool scanning = false;
    QTimer heartbeat;
    heartbeat.setInterval(5);
    QObject::connect(&heartbeat, &QTimer::timeout, [&]() {
        const qint64 now = clock.nsecsElapsed();
        const qint64 cpu = threadCpuNs();
        if (scanning && now - last > worst) {
            worst = now - last;
            worstCpu = cpu - lastCpu;
        }
        last = now;
        lastCpu = cpu;
    });
    QObject::connect(library.gameLibrary(), &GameLibrary::scanFinished, &app, [&]() {
        if (!scanning)
            return;
        const qint64 now = clock.nsecsElapsed();
        worst = std::max(worst, now - last);
        std::printf("rows %d, scan %.0f ms, GUI thread busy %.1f ms of its worst stall of %.1f ms\n",
                    library.model()->rowCount(), now / 1e6, worstCpu / 1e6, worst / 1e6);
        app.quit();
    });
    QTimer::singleShot(1000, &app, [&]() {
        clock.start();
        last = 0;
        lastCpu = threadCpuNs();
        scanning = true;
        // The library rescans as the stored list changes.
        UserDefaults::standardUserDefaults().setValueForKey(LibraryFolders::key, folders);
    });
    heartbeat.start();
    clock.start();
    return app.exec();
}
