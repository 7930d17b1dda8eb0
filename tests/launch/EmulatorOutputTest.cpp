#include "support/TestWorld.h"

#include "launch/EmulatorOutputLog.h"
#include "launch/EmulatorSupervisor.h"
#include "platform/ChildProcess.h"
#include "platform/OutputRelay.h"
#include "rom/ROM.h"

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include <atomic>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <thread>
#include <unistd.h>

#include <gtest/gtest.h>

namespace {

// Everything the read end of \a fd holds once \a relay has written all it kept.
QByteArray drain(int fd, OutputRelay &relay)
{
    QByteArray all;
    char buffer[65536];
    for (bool flushed = false;;) {
        pollfd readable{fd, POLLIN, 0};
        if (::poll(&readable, 1, 20) > 0) {
            const ssize_t count = ::read(fd, buffer, sizeof buffer);
            if (count > 0)
                all.append(buffer, count);
        } else if (flushed) {
            return all;
        } else {
            flushed = relay.flush(QDeadlineTimer(0));
        }
    }
}

// The number in the note that stands for what was dropped, or -1 without one.
qint64 droppedInNote(const QByteArray &stream)
{
    const QRegularExpressionMatch match =
        QRegularExpression(QStringLiteral("tolvane-launcher: (\\d+) byte.{0,3} of output were dropped here while this stream "
                                          "was blocked\\.\n"))
            .match(QString::fromLatin1(stream));
    return match.hasMatch() ? match.captured(1).toLongLong() : -1;
}

// Our standard output replaced by a pipe that nobody reads until the test drains it, as a
// terminal paused with Ctrl+S. A watchdog reads it after a while, so that a Launcher that
// waits for its output fails the test instead of hanging it.
struct BlockedStandardOutput
{
    BlockedStandardOutput()
    {
        std::fflush(stdout);
        saved = ::dup(STDOUT_FILENO);
        if (::pipe2(fds, O_CLOEXEC) == 0)
            ::dup2(fds[1], STDOUT_FILENO);
        watchdog = std::thread([this] {
            for (int waited = 0; waited < 200 && !done; ++waited)
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
            char buffer[65536];
            for (pollfd readable{fds[0], POLLIN, 0}; !done;) {
                if (::poll(&readable, 1, 100) > 0)
                    hadToRead = ::read(fds[0], buffer, sizeof buffer) > 0 || hadToRead;
            }
        });
    }
    ~BlockedStandardOutput()
    {
        ::dup2(saved, STDOUT_FILENO);
        stopWatchdog();
        ::close(fds[1]);
        ::close(fds[0]);
        ::close(saved);
    }
    void stopWatchdog()
    {
        done = true;
        if (watchdog.joinable())
            watchdog.join();
    }

    int saved = -1;
    int fds[2] = {-1, -1};
    std::atomic<bool> done = false;
    std::atomic<bool> hadToRead = false;
    std::thread watchdog;
};

} // namespace

TEST(OutputRelayTest, ABlockedStreamNeverHoldsTheWriterAndGetsANoteOfWhatWasDroppedWhenItMoves)
{
    int fds[2];
    ASSERT_EQ(::pipe2(fds, O_CLOEXEC), 0);
    const auto closeEnds = qScopeGuard([&] { ::close(fds[0]), ::close(fds[1]); });
    OutputRelay relay(fds[1], 256 * 1024);
    QByteArray sent;
    int began = 0;
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; sent.size() < 4 << 20; ++i) {
        const QByteArray piece = QByteArray::number(i).rightJustified(4000, '.');
        sent += piece;
        began += relay.write(piece) == OutputRelay::Outcome::DroppingBegan;
    }
    EXPECT_LT(clock.elapsed(), 2000) << "nobody reads the pipe, yet writing took this long";
    EXPECT_EQ(began, 1);
    // What passed is the stream's start, byte for byte, then one note; later bytes follow it.
    QByteArray received = drain(fds[0], relay);
    const qint64 dropped = droppedInNote(received);
    EXPECT_EQ(dropped, relay.droppedBytes());
    const qsizetype passed = received.indexOf("tolvane-launcher:") - 1;
    ASSERT_GT(passed, 64 * 1024);
    EXPECT_TRUE(received.left(passed) == sent.left(passed));
    EXPECT_EQ(passed + dropped, sent.size());
    EXPECT_EQ(received.at(passed), '\n') << "the note starts a line of its own";
    EXPECT_EQ(relay.write("after\n"), OutputRelay::Outcome::Queued);
    EXPECT_EQ(drain(fds[0], relay), "after\n");

    // A closed stream ends the passing on; it neither kills us (SIGPIPE) nor holds us.
    ::close(fds[0]);
    fds[0] = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    relay.write("lost\n");
    relay.flush(QDeadlineTimer(kTimeoutMs));
    EXPECT_EQ(relay.write("lost\n"), OutputRelay::Outcome::StreamGone);
}

TEST(EmulatorOutputTest, AFloodAndABlockedStandardOutputLeaveTheEventLoopFreeAndStopWorking)
{
    TestWorld world;
    TestWorld::useStandInAsCustomBuild();
    EmulatorSupervisor supervisor;
    supervisor.readEmulatorConfig();
    ROM rom;
    rom.setFilePath(QUrl::fromLocalFile(world.writeRom(QStringLiteral("game.z64"))));
    const EmulatorOutputLog *log = supervisor.outputLog();
    QStringList endings, notes;
    QObject::connect(log, &EmulatorOutputLog::linesAdded, [&](const QStringList &lines) {
        notes += lines.filter(QStringLiteral("standard output is not being read"));
    });
    QObject::connect(&supervisor, &EmulatorSupervisor::taskEndedInWords, [&](const QString &text) { endings << text; });
    // 8 MiB of lines, read a slice per turn of the event loop, while nothing reads what we
    // pass on; then progress rewritten with carriage returns, 2 MB without a line end and
    // unflushed. Checked once our output is ours again: a failure's message would block.
    qputenv("TOLVANE_FAKE_FLOOD", QByteArray::number(8 << 20));
    qsizetype sinceTurn = 0, mostInOneTurn = 0;
    QTimer turns;
    QObject::connect(&turns, &QTimer::timeout, [&] { sinceTurn = 0; });
    const QString lastLine = QStringLiteral("flood %1").arg((8 << 20) / 64 - 1, 57, 10, QLatin1Char('0'));
    bool flooded = false, stopped = false, waitedForOutput = true, progressEnded = false;
    QByteArray passed;
    QStringList progressLines;
    {
        BlockedStandardOutput blocked;
        turns.start(0);
        supervisor.playPressed(&rom);
        QObject::connect(supervisor.task(), &ChildProcess::outputRead, [&](ChildProcess *, int, const QByteArray &bytes) {
            mostInOneTurn = qMax(mostInOneTurn, sinceTurn += bytes.size());
        });
        flooded = QTest::qWaitFor([&] { return !log->lines().isEmpty() && log->lines().constLast() == lastLine; }, kTimeoutMs);
        turns.stop();
        supervisor.stopPressed();
        stopped = QTest::qWaitFor([&] { return !endings.isEmpty(); }, kTimeoutMs);
        qunsetenv("TOLVANE_FAKE_FLOOD");
        qputenv("TOLVANE_FAKE_PROGRESS", "100000");
        qputenv("TOLVANE_FAKE_EXIT", "0");
        supervisor.playPressed(&rom);
        progressEnded = QTest::qWaitFor([&] { return endings.size() == 2; }, kTimeoutMs);
        progressLines = log->lines();
        waitedForOutput = blocked.hadToRead;
        blocked.stopWatchdog();
        passed = drain(blocked.fds[0], OutputRelay::standardOutput());
    }
    EXPECT_TRUE(flooded);
    EXPECT_LE(mostInOneTurn, 2 * 64 * 1024);
    EXPECT_EQ(notes.size(), 2) << "one for each run";
    EXPECT_TRUE(stopped && endings.constFirst() == QStringLiteral("The emulator stopped."));
    EXPECT_FALSE(waitedForOutput) << "the Launcher waited for its standard output";
    // What moved on once the pipe was read: the flood's first lines exactly, and a note.
    EXPECT_TRUE(passed.startsWith("flood " + QByteArray(56, '0') + "0\nflood " + QByteArray(56, '0') + "1\n"));
    EXPECT_GT(droppedInNote(passed), 0);
    EXPECT_TRUE(progressEnded);
    EXPECT_EQ(progressLines.filter(QStringLiteral("progress")), QStringList{QStringLiteral("progress 100000/100000")});
}

TEST(EmulatorOutputTest, PlayWithABlockedStandardOutputStillEndsOnSigterm)
{
    TestWorld world;
    TestWorld::useStandInAsCustomBuild();
    const QString rom = world.writeRom(QStringLiteral("game.z64"));
    world.useOwnRuntimeFolder();
    qputenv("TOLVANE_FAKE_FLOOD", QByteArray::number(4 << 20));
    std::shared_ptr<ChildProcess> play;
    {
        // Only the Launcher started here gets the pipe nobody reads as its standard output.
        BlockedStandardOutput blocked;
        play = ChildProcess::launchedTask(TestWorld::program("tolvane-launcher"), {QStringLiteral("--play"), rom});
        ASSERT_TRUE(world.waitForRecord());
        // Long enough for the flood to fill the pipe.
        QTest::qWait(500);
        ::kill(play->processIdentifier(), SIGTERM);
        const bool ended = QTest::qWaitFor([&] { return !play->isRunning(); }, 10000);
        EXPECT_TRUE(ended && !blocked.hadToRead) << "--play ignored SIGTERM while its standard output was blocked";
    }
    EXPECT_TRUE(QTest::qWaitFor([&] { return !play->isRunning(); }, kTimeoutMs));
    EXPECT_TRUE(waitUntilEnded(world.recordedPids().at(0)));
}
