// The GUI thread's longest gap while an emulator floods its output: a 5 ms timer notes the
// longest time between its ticks, first with nothing running (the machine's own noise, the
// reference), then while a stand-in writes 100 MB of lines through the real supervisor into
// a shown Emulator Output window, with our standard output passed on to /dev/null, then
// with it a pipe that nobody reads (a terminal paused with Ctrl+S).
// Usage: QT_QPA_PLATFORM=offscreen tolvane-output-bench [MEGABYTES]
// Prints one line per case; exits 1 when a flood stalled the GUI for more than 50 ms.
#include "launch/EmulatorOutputLog.h"
#include "launch/EmulatorSupervisor.h"
#include "mainwindow/EmulatorOutputWindow.h"
#include "platform/OutputRelay.h"
#include "platform/UserDefaults.h"
#include "rom/ROM.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTimer>
#include <QUrl>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr double kLimitMs = 50;

// The stand-in: called by the supervisor's command with TOLVANE_BENCH_FLOOD set.
int flood(long long bytes)
{
    static char block[64 * 1024];
    for (std::size_t i = 0; i < sizeof block; i += 64) {
        std::snprintf(block + i, 65, "line %058zu", i / 64);
        block[i + 63] = '\n';
    }
    for (long long done = 0; done < bytes; done += sizeof block) {
        if (std::fwrite(block, 1, sizeof block, stdout) != sizeof block)
            return 1;
    }
    return 0;
}

qint64 threadCpuNs()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
}

struct Stall
{
    double worstMs = 0;
    double busyMs = 0;
    double totalMs = 0;
};

// Runs the event loop until \a done() holds (or for \a ms when there is none), noting its
// longest gap.
template<typename Start>
Stall measure(Start start, EmulatorSupervisor *supervisor, int ms)
{
    QEventLoop loop;
    QElapsedTimer clock;
    qint64 last = 0, lastCpu = threadCpuNs();
    Stall stall;
    QTimer heartbeat;
    heartbeat.setInterval(5);
    const auto tick = [&] {
        const qint64 now = clock.nsecsElapsed(), cpu = threadCpuNs();
        if (now - last > stall.worstMs * 1e6) {
            stall.worstMs = (now - last) / 1e6;
            stall.busyMs = (cpu - lastCpu) / 1e6;
        }
        last = now;
        lastCpu = cpu;
    };
    QObject::connect(&heartbeat, &QTimer::timeout, tick);
    const QMetaObject::Connection ended = supervisor
        ? QObject::connect(supervisor, &EmulatorSupervisor::taskEnded, &loop, [&] { tick(), loop.quit(); })
        : QMetaObject::Connection();
    if (!supervisor)
        QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    clock.start();
    heartbeat.start();
    start();
    loop.exec();
    stall.totalMs = clock.nsecsElapsed() / 1e6;
    QObject::disconnect(ended);
    return stall;
}

} // namespace

int main(int argc, char **argv)
{
    if (const char *bytes = std::getenv("TOLVANE_BENCH_FLOOD"))
        return flood(std::atoll(bytes));
    const long long megabytes = argc > 1 ? std::atoll(argv[1]) : 100;

    QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.filePath(QStringLiteral("config"))));
    qputenv("XDG_DATA_HOME", QFile::encodeName(home.filePath(QStringLiteral("data"))));
    QApplication app(argc, argv);
    UserDefaults::standardUserDefaults().setValueForKey(QStringLiteral("Build"), QStringLiteral("Custom"));
    UserDefaults::standardUserDefaults().setValueForKey(QStringLiteral("CustomBuildPath"),
                                                        QCoreApplication::applicationFilePath());
    qputenv("TOLVANE_BENCH_FLOOD", QByteArray::number(megabytes * 1000000));

    EmulatorSupervisor supervisor;
    supervisor.setBundlePath(home.path());
    ROM rom;
    rom.setFilePath(QUrl::fromLocalFile(home.filePath(QStringLiteral("game.z64"))));
    EmulatorOutputWindow window(supervisor.outputLog());
    window.show();
    // The window's first layout and paint are not the flood's.
    QTimer::singleShot(500, &app, &QCoreApplication::quit);
    app.exec();

    int unread[2];
    if (::pipe2(unread, O_CLOEXEC) != 0)
        return 2;
    const struct { const char *name; int target; } cases[] = {
        {"standard output to /dev/null", ::open("/dev/null", O_WRONLY | O_CLOEXEC)},
        {"standard output a pipe nobody reads", unread[1]},
    };
    const Stall idle = measure([] {}, nullptr, 2000);
    std::fprintf(stderr, "reference, nothing running: worst gap %.1f ms\n", idle.worstMs);
    bool withinLimit = true;
    for (const auto &c : cases) {
        ::dup2(c.target, STDOUT_FILENO);
        const qint64 droppedBefore = OutputRelay::standardOutput().droppedBytes();
        const Stall flooded = measure([&] { supervisor.playPressed(&rom); }, &supervisor, 0);
        std::fprintf(stderr,
                     "%lld MB flood, %s: %.0f ms (%.0f MB/s), worst gap %.1f ms (GUI thread busy %.1f ms of it), "
                     "%.1f MB not passed on, %d lines in the window\n",
                     megabytes, c.name, flooded.totalMs, megabytes * 1000 / flooded.totalMs, flooded.worstMs,
                     flooded.busyMs, (OutputRelay::standardOutput().droppedBytes() - droppedBefore) / 1e6,
                     window.outputView()->blockCount());
        withinLimit = withinLimit && flooded.worstMs <= kLimitMs;
    }
    std::fprintf(stderr, "%s: worst gap during a flood %s %.0f ms\n", withinLimit ? "PASS" : "FAIL",
                 withinLimit ? "within" : "over", kLimitMs);
    // Whatever the unread pipe holds is let go of at once rather than waited for at exit;
    // our results went to standard error.
    ::close(unread[0]);
    return withinLimit ? 0 : 1;
}
