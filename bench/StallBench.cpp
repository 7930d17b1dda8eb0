// Measures how long the GUI thread goes without running its event loop while the library
// panel fills from a cold scan: a 5 ms timer notes the longest gap between its ticks.
// Usage: tolvane-stall-bench DIR...   (XDG_CACHE_HOME should point at an empty folder)
#include "library/LibraryController.h"
#include "library/LibraryModel.h"
#include "platform/UserDefaults.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMainWindow>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <cstdio>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QVariantList folders;
    for (const QString &folder : app.arguments().mid(1))
        folders.append(folder);
    UserDefaults::standardUserDefaults().setValueForKey(LibraryController::foldersKey, folders);

    QMainWindow window;
    auto *central = new QWidget;
    auto *layout = new QVBoxLayout(central);
    auto *container = new QWidget;
    layout->addWidget(container);
    window.setCentralWidget(central);
    window.resize(1000, 600);
    window.show();

    QElapsedTimer clock;
    qint64 last = 0;
    qint64 worst = 0;
    QTimer heartbeat;
    heartbeat.setInterval(5);
    QObject::connect(&heartbeat, &QTimer::timeout, [&]() {
        const qint64 now = clock.nsecsElapsed();
        worst = std::max(worst, now - last);
        last = now;
    });
    clock.start();
    heartbeat.start();
    LibraryController library(&window, container);
    QObject::connect(&library, &LibraryController::scanFinished, &app, [&]() {
        const qint64 now = clock.nsecsElapsed();
        worst = std::max(worst, now - last);
        std::printf("rows %d, scan %.0f ms, worst stall %.1f ms\n", library.model()->rowCount(), now / 1e6, worst / 1e6);
        app.quit();
    });
    // The first tick after start-up counts from here, not from before the window was made.
    last = clock.nsecsElapsed();
    return app.exec();
}
