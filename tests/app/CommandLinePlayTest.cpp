#include "support/ArchiveBuilder.h"
#include "support/Bytes.h"
#include "support/RomImageBuilder.h"
#include "support/TestWorld.h"

#include "library/PlayHistory.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>

#include <csignal>
#include <functional>
#include <map>

#include <gtest/gtest.h>

namespace {

// One "--play" of the real executable, with the world's folders (its run/ for the runtime and
// the data; see TestWorld::useOwnRuntimeFolder) and the stand-in's behaviour in \a fake
// (TOLVANE_FAKE_…=value).
struct Play
{
    Play(const TestWorld &world, const QStringList &arguments, const QStringList &fake = {})
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_DATA_HOME"), world.path(QStringLiteral("run")));
        for (const QString &setting : fake)
            environment.insert(QStringLiteral("TOLVANE_FAKE_") + setting.section(QLatin1Char('='), 0, 0), setting.section(QLatin1Char('='), 1));
        process.setProcessEnvironment(environment);
        process.start(TestWorld::program("tolvane-launcher"), QStringList{QStringLiteral("--play")} + arguments);
    }
    // The exit status, or -1 when it has not ended in time.
    int wait()
    {
        if (!process.waitForFinished(kTimeoutMs))
            return -1;
        error = QString::fromUtf8(process.readAllStandardError());
        return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    }
    bool stillRunningAfter(int ms) { return !process.waitForFinished(ms); }

    QProcess process;
    QString error;
};

// Every status that "--help" lists for --play is produced by its case, and the reason of a
// failure is all that standard error says. Stand-ins "save" for 500 ms where the emulator of a
// player may take seconds, and say what they do through TOLVANE_FAKE_… variables.
TEST(CommandLinePlayTest, EveryExitStatusOfTheHelpTableComesFromItsCaseAndTheGameHasEndedByThen)
{
    TestWorld world;
    const QString run = world.useOwnRuntimeFolder();
    TestWorld::useStandInAsCustomBuild();
    const QString game = world.writeRom(QStringLiteral("game.z64")), one = world.path(QStringLiteral("one.zip")), two = world.path(QStringLiteral("two.7z"));
    const QByteArray image = RomImageBuilder().image();
    ASSERT_TRUE(ArchiveBuilder().add("Game.z64", image).writeTo(one) && ArchiveBuilder().add("A.z64", image).add("B.n64", image).writeTo(two));
    const QString md5 = md5Hex(readFile(game));

    // Ends by a signal: --play answers only once the game it asked to end has ended.
    const auto endedBySignal = [&](int signalNumber, const QStringList &fake, bool twice) {
        world.clearRecord();
        Play play(world, {game}, fake);
        if (!world.waitForRecord())
            return -2;
        const pid_t emulator = world.recordedPids().at(0);
        QElapsedTimer asked;
        asked.start();
        ::kill(pid_t(play.process.processId()), signalNumber);
        if (twice) {
            EXPECT_TRUE(play.stillRunningAfter(300)) << "--play ended before the emulator it asked to end";
            ::kill(pid_t(play.process.processId()), signalNumber);
        }
        const int status = play.wait();
        EXPECT_TRUE(QByteArray("\0ZX", 3).contains(processState(emulator))) << "the emulator outlived --play";
        EXPECT_TRUE(twice || asked.elapsed() >= 450) << asked.elapsed() << " ms";
        EXPECT_EQ(play.error, QString());
        return status;
    };
    const std::map<QString, std::function<int()>> cases{
        // Forks and exits: the game is over when its child is, and counts in the history.
        {QStringLiteral("0"), [&] {
             Play play(world, {game}, {QStringLiteral("CHILD=orphan")});
             EXPECT_TRUE(world.waitForRecord());
             const std::vector<pid_t> pids = world.recordedPids();
             EXPECT_TRUE(pids.size() == 2 && waitUntilEnded(pids[0]) && play.stillRunningAfter(300));
             ::kill(pids.at(1), SIGUSR1);
             const int status = play.wait();
             EXPECT_EQ(play.error, QString()) << "standard error of a good end";
             PlayHistory history(world.path(QStringLiteral("run/tolvane-launcher/history.sqlite")));
             history.open();
             EXPECT_GT(history.entries().value(md5).lastPlayed, 0) << "the run is not in the history";
             return status;
         }},
        // An archive of one image plays a plain copy of it, gone when the play ends.
        {QStringLiteral("N"), [&] {
             Play play(world, {one}, {QStringLiteral("EXIT=3")});
             const int status = play.wait();
             EXPECT_EQ(play.error, QStringLiteral("tolvane-launcher: The emulator exited with status 3.\n"));
             const QString played = world.recordedArguments().value(world.recordedArguments().size() - 1);
             EXPECT_TRUE(played.startsWith(run + QStringLiteral("/tolvane-launcher/extracted-")) && played.endsWith(QStringLiteral("-Game.z64")))
                 << played.toStdString();
             EXPECT_FALSE(QFile::exists(played));
             return status == 3 ? 0 : status;
         }},
        {QStringLiteral("64"), [&] { return Play(world, {}).wait(); }},
        // Also an archive of several images, refused from its headers.
        {QStringLiteral("66"), [&] {
             Play play(world, {world.path(QStringLiteral("missing.z64"))});
             const int status = play.wait();
             EXPECT_TRUE(play.error.contains(QStringLiteral("missing.z64\u201d cannot be opened."))) << play.error.toStdString();
             Play several(world, {two});
             EXPECT_EQ(several.wait(), 66);
             EXPECT_TRUE(several.error.contains(QStringLiteral("holds 2 ROM images; --play takes an archive with one"))) << several.error.toStdString();
             return status;
         }},
        {QStringLiteral("69"), [&] {
             TestWorld::setSetting("CustomBuildPath", world.path(QStringLiteral("gone")));
             Play play(world, {game});
             const int status = play.wait();
             TestWorld::useStandInAsCustomBuild();
             EXPECT_TRUE(play.error.contains(QStringLiteral("cannot be started"))) << play.error.toStdString();
             return status;
         }},
        {QStringLiteral("75"), [&] {
             world.clearRecord();
             Play first(world, {game});
             EXPECT_TRUE(world.waitForRecord());
             const int status = Play(world, {game}).wait();
             ::kill(pid_t(first.process.processId()), SIGTERM);
             EXPECT_EQ(first.wait(), 143);
             return status;
         }},
        // The settings file is left as it was (never set aside) and nothing is started.
        {QStringLiteral("78"), [&] {
             const QString name = QStringLiteral("home/.config/tolvane-launcher/settings.plist"), settings = world.path(name);
             const QByteArray kept = readFile(settings), broken("<plist><dict><key>Resolution</string>");
             world.writeFile(name, broken);
             world.clearRecord();
             Play play(world, {game});
             const int status = play.wait();
             EXPECT_TRUE(play.error.contains(QStringLiteral("cannot be read, so the game was not started"))) << play.error.toStdString();
             EXPECT_EQ(readFile(settings), broken) << "set aside or written over (UserDefaultsTest: what KeepInPlace keeps)";
             EXPECT_FALSE(QFile::exists(world.path(QStringLiteral("record")))) << "the stand-in emulator was started";
             world.writeFile(name, kept);
             return status;
         }},
        {QStringLiteral("128+N"), [&] { return Play(world, {game}, {QStringLiteral("EXIT=-6")}).wait() - SIGABRT; }},
        {QStringLiteral("129"), [&] { return endedBySignal(SIGHUP, {QStringLiteral("ON_TERM=500")}, false); }},
        {QStringLiteral("130"), [&] { return endedBySignal(SIGINT, {QStringLiteral("ON_TERM=ignore")}, true); }},
        {QStringLiteral("143"), [&] { return endedBySignal(SIGTERM, {QStringLiteral("ON_TERM=500")}, false); }},
    };

    QProcess help;
    help.start(TestWorld::program("tolvane-launcher"), {QStringLiteral("--help")});
    ASSERT_TRUE(help.waitForFinished(kTimeoutMs));
    const QString table = QString::fromUtf8(help.readAllStandardOutput()).section(QStringLiteral("Exit status of --play"), 1);
    QStringList listed;
    for (const QRegularExpressionMatch &row : QRegularExpression(QStringLiteral("^  (\\S+) "), QRegularExpression::MultilineOption).globalMatch(table))
        listed << row.captured(1);
    QStringList tested;
    for (const auto &[status, run] : cases)
        tested << status;
    listed.sort();
    EXPECT_EQ(listed, tested);
    for (const auto &[status, run] : cases) {
        bool isNumber = false;
        const int expected = status.toInt(&isNumber);
        // "N" and "128+N" answer 0 and 128 when N was passed on as it should be.
        EXPECT_EQ(run(), isNumber ? expected : status == QLatin1String("N") ? 0 : 128) << "row " << status.toStdString();
    }
}

} // namespace
