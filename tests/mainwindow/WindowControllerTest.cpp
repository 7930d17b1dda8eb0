#include "support/TestWorld.h"
#include "support/ArchiveBuilder.h"
#include "support/Bytes.h"
#include "support/RomImageBuilder.h"

#include "launch/EmulatorOutputLog.h"
#include "launch/EmulatorSupervisor.h"
#include "launch/EntryExtractor.h"
#include "library/LibraryController.h"
#include "library/LibraryModel.h"
#include "library/LibraryPanel.h"
#include "mainwindow/ArchiveEntryChooser.h"
#include "mainwindow/EmulatorOutputWindow.h"
#include "mainwindow/OpenAndWait.h"
#include "mainwindow/EmptyViewController.h"
#include "mainwindow/ErrorWinController.h"
#include "mainwindow/ROMViewController.h"
#include "mainwindow/RomOpener.h"
#include "mainwindow/WindowController.h"
#include "platform/LocalPath.h"
#include "platform/OutputRelay.h"
#include "platform/RecentDocuments.h"
#include "platform/UserDefaults.h"
#include "rom/ROM.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QDeadlineTimer>
#include <QDialog>
#include <QDir>
#include <QDragEnterEvent>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QHeaderView>
#include <QImage>
#include <QTableView>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QMessageBox>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTimer>
#include <QLabel>
#include <QTest>
#include <QUrl>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>

#include <sys/mount.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <gtest/gtest.h>

namespace {

// Every text that assistive technology is given for \a widget and all below it.
QStringList accessibleTexts(QObject *widget)
{
    QStringList texts;
    std::function<void(QAccessibleInterface *)> walk = [&](QAccessibleInterface *node) {
        if (!node)
            return;
        texts << node->text(QAccessible::Name) << node->text(QAccessible::Description) << node->text(QAccessible::Value);
        for (int i = 0; i < node->childCount(); ++i)
            walk(node->child(i));
    };
    walk(QAccessible::queryAccessibleInterface(widget));
    return texts;
}

class WindowControllerTest : public testing::Test
{
protected:
    void SetUp() override
    {
        controller.setRecentDocuments(&recent);
        controller.showWindow(nullptr);
        // The default build is the stand-in.
        controller.supervisor()->setBundlePath(world.resourcePath());
        controller.supervisor()->readEmulatorConfig();
    }
    void TearDown() override { controller.clearPressed(); } // no emulator left for the next test

    // "PEUS": Play, Eject, paUse, Stop, one letter per enabled action, '-' per disabled one.
    QString toolbarState() const
    {
        const QList<QAction *> actions{controller.playButton(), controller.clearButton(), controller.pauseButton(), controller.stopButton()};
        QString state;
        for (int i = 0; i < 4; ++i)
            state += actions[i]->isEnabled() ? QLatin1Char("PEUS"[i]) : QLatin1Char('-');
        return state;
    }
    QString shownPath() const { return controller.rom() ? controller.rom()->filePath()->toLocalFile() : QString(); }
    bool waitForNoChild() { return QTest::qWaitFor([this] { return !controller.task(); }, kTimeoutMs); }
    void play(const char *romName)
    {
        ASSERT_TRUE(openAndWait(controller, QUrl::fromLocalFile(world.writeRom(QString::fromLatin1(romName)))));
        controller.playButton()->trigger();
    }
    bool waitForStatus(const QString &text)
    {
        return QTest::qWaitFor([&] { return accessibleTexts(controller.dragWindow()).contains(text); }, kTimeoutMs);
    }
    ArchiveEntryChooser *waitForChooser()
    {
        const bool up = QTest::qWaitFor([this] { return controller.opener()->chooser() && controller.opener()->chooser()->isVisible(); }, kTimeoutMs);
        return up ? controller.opener()->chooser() : nullptr;
    }

    TestWorld world;
    RecentDocuments recent{&UserDefaults::standardUserDefaults()};
    WindowController controller;
};

TEST_F(WindowControllerTest, ToolbarFollowsEveryStateWithTheRealStandInAndItsProcessGroup)
{
    qputenv("TOLVANE_FAKE_CHILD", "1"); // the emulator has a child of its own
    controller.playButton()->setText(QStringLiteral("Lecture")); // as translated
    EXPECT_EQ(toolbarState(), QStringLiteral("----"));
    const QString first = world.writeRom(QStringLiteral("first.z64")), second = world.writeRom(QStringLiteral("second.z64"), "SECOND");
    ASSERT_TRUE(openAndWait(controller, QUrl::fromLocalFile(first)));
    EXPECT_EQ(toolbarState(), QStringLiteral("PE--"));
    controller.playButton()->trigger();
    ASSERT_TRUE(world.waitForRecord());
    EXPECT_EQ(world.recordedArguments().last(), first);
    std::vector<pid_t> pids = world.recordedPids();
    ASSERT_EQ(pids.size(), 2u);
    // Another ROM while running: shown at once, but the child goes on and Play stays off.
    ASSERT_TRUE(openAndWait(controller, QUrl::fromLocalFile(second)));
    EXPECT_EQ(toolbarState(), QStringLiteral("--US")) << "running";

    controller.pauseButton()->trigger();
    EXPECT_EQ(toolbarState(), QStringLiteral("P--S"));
    EXPECT_TRUE(waitForStopped(pids));
    // Play resumes: nothing starts again, nothing of the emulator's settings is touched.
    world.clearRecord();
    QDir().mkpath(QFileInfo(world.configFilePath()).path());
    world.writeFile(QStringLiteral("home/.config/tolvane/tolvane.cfg"), "stale\n");
    const QString ini = controller.supervisor()->inputAutoCfgPath();
    QFile::remove(ini);
    controller.playButton()->trigger();
    EXPECT_EQ(toolbarState(), QStringLiteral("--US"));
    EXPECT_TRUE(waitForStopped(pids, false));
    EXPECT_FALSE(QFile::exists(world.path(QStringLiteral("record"))) || QFile::exists(ini));
    EXPECT_TRUE(QFile::exists(world.configFilePath()));

    // Stop ends the whole process group (what the toolbar says meanwhile is StopSays…'s).
    controller.stopButton()->trigger();
    ASSERT_TRUE(waitForNoChild());
    EXPECT_TRUE(waitUntilEnded(pids[0]) && waitUntilEnded(pids[1]));

    // A new start plays the ROM now shown, after removing the emulator's settings file.
    controller.playButton()->trigger();
    ASSERT_TRUE(world.waitForRecord());
    EXPECT_EQ(world.recordedArguments().last(), second);
    EXPECT_FALSE(QFile::exists(world.configFilePath()));
    // Stop while paused: the game continues, so that it can end, and ends without Play.
    controller.pauseButton()->trigger();
    controller.stopButton()->trigger();
    EXPECT_EQ(toolbarState(), QStringLiteral("----"));
    ASSERT_TRUE(waitForNoChild());
    EXPECT_EQ(toolbarState(), QStringLiteral("PE--"));
    // The run reaches the history and the ROM view (how it reads is GameHistoryTest's).
    EXPECT_TRUE(QTest::qWaitFor([this] { return controller.romVC()->lastPlayedField()->text() == QStringLiteral("Today"); }, kTimeoutMs));

    // Quitting with a paused child leaves no emulator behind; Eject clears the window.
    world.clearRecord();
    controller.playButton()->trigger();
    ASSERT_TRUE(world.waitForRecord());
    pids = world.recordedPids();
    controller.pauseButton()->trigger();
    ASSERT_TRUE(waitForStopped(pids));
    controller.applicationWillTerminate();
    EXPECT_TRUE(waitUntilEnded(pids[0]) && waitUntilEnded(pids[1]));
    ASSERT_TRUE(waitForNoChild());
    controller.clearPressed();
    EXPECT_TRUE(toolbarState() == QStringLiteral("----") && !controller.rom());
    EXPECT_EQ(controller.currentController(), static_cast<NibViewController *>(controller.emptyVC()));
}

// The game is the emulator's whole process group: "stopped" or "quit" is said only once
// every process of it has ended, whatever the emulator does with the request.
TEST_F(WindowControllerTest, StopSaysStoppingUntilTheWholeGameHasEndedAndOffersForceStop)
{
    // The Launcher offers Force Stop after 5 s; a saving game here takes 1 s, not 4 s.
    controller.supervisor()->setForceStopDelay(300);
    ASSERT_TRUE(openAndWait(controller, QUrl::fromLocalFile(world.writeRom(QStringLiteral("game.z64")))));
    const auto status = [this] { return controller.statusLabel()->text(); };
    const auto play = [&](const char *onTerm, const char *child) {
        qputenv("TOLVANE_FAKE_ON_TERM", onTerm);
        qputenv("TOLVANE_FAKE_CHILD", child);
        world.clearRecord();
        controller.playButton()->trigger();
        EXPECT_TRUE(world.waitForRecord());
        return world.recordedPids();
    };
    const QString stopped = QStringLiteral("The emulator stopped.");
    const auto stillStopping = [&](pid_t pid) { return processState(pid) != 0 && processState(pid) != 'Z' && status().startsWith(QStringLiteral("Stopping…")); };

    // Saving for a second after the request: Force Stop is offered meanwhile, not needed.
    std::vector<pid_t> pids = play("1000", "");
    controller.stopButton()->trigger();
    EXPECT_EQ(toolbarState(), QStringLiteral("----"));
    EXPECT_EQ(status(), QStringLiteral("Stopping…"));
    QTest::qWait(600);
    EXPECT_TRUE(stillStopping(pids[0])) << status().toStdString();
    EXPECT_TRUE(controller.forceStopButton()->isEnabled() && controller.forceStopButton()->isVisible());
    EXPECT_FALSE(controller.playButton()->isEnabled() || controller.stopButton()->isEnabled());
    ASSERT_TRUE(waitForNoChild());
    EXPECT_EQ(status(), stopped);
    EXPECT_TRUE(waitUntilEnded(pids[0]));
    EXPECT_EQ(toolbarState(), QStringLiteral("PE--"));
    EXPECT_FALSE(controller.forceStopButton()->isVisible());

    // Deaf to the request: only Force Stop ends it.
    pids = play("ignore", "");
    controller.stopButton()->trigger();
    ASSERT_TRUE(QTest::qWaitFor([&] { return controller.forceStopButton()->isEnabled(); }, kTimeoutMs));
    QTest::qWait(200);
    EXPECT_TRUE(stillStopping(pids[0])) << status().toStdString();
    EXPECT_TRUE(controller.task());
    controller.forceStopButton()->trigger();
    ASSERT_TRUE(waitForNoChild());
    EXPECT_EQ(status(), stopped);
    EXPECT_TRUE(waitUntilEnded(pids[0]));

    // Forks and exits: the game goes on in the child, and so does the session.
    pids = play("", "orphan");
    ASSERT_EQ(pids.size(), 2u);
    EXPECT_TRUE(waitUntilEnded(pids[0]));
    QTest::qWait(300);
    EXPECT_TRUE(status().startsWith(QStringLiteral("Running game.z64"))) << status().toStdString();
    EXPECT_EQ(toolbarState(), QStringLiteral("--US"));
    ::kill(pids[1], SIGUSR1);
    ASSERT_TRUE(waitForNoChild());
    EXPECT_EQ(status(), QStringLiteral("The emulator quit."));
    // Quit reaches the child left behind too, and does not wait its whole time for it.
    pids = play("", "orphan");
    EXPECT_TRUE(waitUntilEnded(pids[0]));
    QElapsedTimer quitting;
    quitting.start();
    controller.applicationWillTerminate();
    EXPECT_LT(quitting.elapsed(), EmulatorSupervisor::kTerminationWaitMs);
    EXPECT_EQ(processState(pids[1]), 0);
}

// What the status line and the ROM view say of a game's own settings is what the start used:
// values it cannot use fall back to the global ones and are not claimed.
TEST_F(WindowControllerTest, TheStatusLineAndRomViewClaimOnlyTheOwnSettingsAStartUses)
{
    qputenv("TOLVANE_FAKE_EXIT", "0");
    const QString game = world.writeRom(QStringLiteral("game.z64"));
    ASSERT_TRUE(openAndWait(controller, QUrl::fromLocalFile(game)));
    const QString md5 = *controller.rom()->MD5();
    const struct {
        QVariantMap own;
        const char *status;
        const char *romView;
    } cases[] = {
        {{{QStringLiteral("Resolution"), 1280}, {QStringLiteral("Fullscreen"), QStringLiteral("maybe")}}, "Running game.z64", ""},
        {{{QStringLiteral("Resolution"), QStringLiteral("1280x720")}, {QStringLiteral("Controllers"), QStringLiteral("none")}},
         "Running game.z64. Started with its own video settings.", "Uses its own settings: video"},
    };
    for (const auto &c : cases) {
        QVariantMap entry = c.own;
        entry.insert(QStringLiteral("Name"), QStringLiteral("GAME"));
        TestWorld::setSetting("GameSettings", QVariantMap{{md5, entry}});
        controller.gameSettingsChanged();
        EXPECT_EQ(controller.romVC()->ownSettingsLabel()->text(), QLatin1String(c.romView));
        testing::internal::CaptureStderr();
        controller.playButton()->trigger();
        testing::internal::GetCapturedStderr();
        EXPECT_EQ(controller.statusLabel()->text(), QLatin1String(c.status));
        ASSERT_TRUE(waitForNoChild());
    }
}

TEST_F(WindowControllerTest, DropsAreTakenOnlyFromFileUrlsWithARomExtensionAndAGenericSource)
{
    const QString rom = world.writeRom(QStringLiteral("drop.z64"));
    const Qt::DropActions any = Qt::CopyAction | Qt::MoveAction | Qt::LinkAction;
    const auto file = [&](const char *name) { return QList<QUrl>{QUrl::fromLocalFile(world.path(QString::fromLatin1(name)))}; };
    const std::tuple<QList<QUrl>, Qt::DropActions, bool> cases[] = {
        {file("drop.z64"), any, true}, {file("a.v64"), Qt::CopyAction | Qt::MoveAction, true},
        {file("a.n64"), Qt::CopyAction | Qt::LinkAction, true}, {file("a.Z64"), any, false}, {file("a.z64.zip"), any, true},
        {file("a.7z"), any, true}, {file("a.ZIP"), any, false}, {file("a.7z.gz"), any, false},
        {file("n64.dat"), any, true}, {file("N64.XML"), any, true}, {file("n64.txt"), any, false}, // DAT files too
        {file("z64"), any, false}, {{QUrl(QStringLiteral("https://example.org/a.z64"))}, any, false}, {{}, any, false},
        {file("drop.z64"), Qt::CopyAction, false}, {file("drop.z64"), Qt::MoveAction, false},
    };
    for (const auto &[urls, actions, accepted] : cases) {
        QMimeData mime;
        mime.setUrls(urls);
        mime.setText(QStringLiteral("/tmp/a.z64"));
        QDragEnterEvent enter(QPoint(20, 20), actions, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(controller.dragWindow(), &enter);
        EXPECT_TRUE(enter.isAccepted() == accepted && (!accepted || enter.dropAction() == Qt::CopyAction))
            << (urls.isEmpty() ? "text" : urls[0].toString().toStdString()) << int(actions);
    }
    // Dropped on the library's search field, which would type a text drop into itself.
    controller.library()->findAction()->trigger();
    QLineEdit *search = controller.library()->panel()->searchField();
    const QPointF at = search->mapTo(controller.dragWindow(), search->rect().center());
    // As the platform delivers a drag to the window: whether the drop was taken as a copy.
    const auto dropOnSearch = [&](QMimeData *mime) {
        QDragEnterEvent enter(at.toPoint(), any, mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(controller.dragWindow()->windowHandle(), &enter);
        QDropEvent drop(at, any, mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(controller.dragWindow()->windowHandle(), &drop);
        return drop.isAccepted() && drop.dropAction() == Qt::CopyAction;
    };
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(rom)});
    mime.setText(QUrl::fromLocalFile(rom).toString());
    EXPECT_TRUE(dropOnSearch(&mime));
    EXPECT_TRUE(QTest::qWaitFor([&] { return shownPath() == rom; }, kTimeoutMs) && recent.recentDocumentPaths() == QStringList{rom});
    EXPECT_TRUE(search->text().isEmpty());
    // A dropped archive with one image opens it, also one whose name is not UTF-8 and came unencoded.
    const QByteArray zip = QFile::encodeName(world.path(QStringLiteral("drop"))) + "\xe9.zip";
    ASSERT_TRUE(ArchiveBuilder().add("in.v64", RomImageBuilder().image()).writeTo(world.path(QStringLiteral("drop.zip"))));
    ASSERT_EQ(::rename(QFile::encodeName(world.path(QStringLiteral("drop.zip"))).constData(), zip.constData()), 0);
    // The source's bytes as an X11 drop hands them over (QMimeData::setData would parse them).
    struct RawDrop : QMimeData
    {
        QStringList formats() const override { return {QStringLiteral("text/uri-list")}; }
        QVariant retrieveData(const QString &, QMetaType) const override { return list; }
        QByteArray list;
    } raw;
    raw.list = "file://" + zip + "\r\n";
    EXPECT_TRUE(dropOnSearch(&raw));
    // One image: no chooser. Its headers (is it a DAT?) and its image are read off the GUI thread.
    EXPECT_NE(LocalPath::fromUrl(*controller.rom()->filePath()).bytes(), zip);
    ASSERT_TRUE(QTest::qWaitFor([&] { return controller.rom()->archiveEntry() && !controller.opener()->isBusy() && !controller.opener()->chooser(); }, kTimeoutMs));
    EXPECT_TRUE(LocalPath::fromUrl(*controller.rom()->filePath()).bytes() == zip && controller.rom()->archiveEntry() == QStringLiteral("in.v64"));
    openAndWait(controller, QUrl::fromLocalFile(rom));

    // The open panel takes any name, folders too (to say why they cannot be played); Cancel changes nothing.
    const auto openWithPanel = [&](const QString &path, bool cancel = false) {
        controller.openFile(nullptr);
        QFileDialog *panel = controller.openPanel();
        ASSERT_TRUE(panel && panel->windowModality() != Qt::ApplicationModal);
        panel->selectFile(path);
        cancel ? panel->reject() : static_cast<QDialog *>(panel)->accept();
        QTest::qWait(0);
        ASSERT_TRUE(QTest::qWaitFor([&] { return !controller.opener()->isBusy(); }, kTimeoutMs));
    };
    const QString capital = world.writeRom(QStringLiteral("GAME.V64"));
    openWithPanel(capital, true);
    EXPECT_EQ(shownPath(), rom);
    QDir(world.path(QString())).mkdir(QStringLiteral("folder"));
    openWithPanel(world.path(QStringLiteral("folder")));
    EXPECT_TRUE(controller.errorWindowController()->message().contains(QStringLiteral("folder, not a ROM")));
    controller.errorWindowController()->okPressed();
    openWithPanel(capital);
    EXPECT_TRUE(QTest::qWaitFor([&] { return shownPath() == capital; }, kTimeoutMs));
}

// The chooser comes from the archive's headers and has no loop of its own, a newer open
// replaces it, and the chosen image is read off the GUI thread with Cancel. The image chosen
// is remembered with the archive and plays from an extracted copy until Stop.
TEST_F(WindowControllerTest, AnArchiveAsksWithoutALoopOfItsOwnRemembersTheImageAndPlaysAnExtractedCopyUntilStop)
{
    ArchiveBuilder four;
    QList<QByteArray> images;
    RomImageBuilder builder;
    for (const char *name : {"Game A.z64", "Game B.z64", "Game C.z64", "dir/Game D.n64"}) {
        builder.setSize(1 << 20).setName(name).setByteOrder(name[0] == 'd' ? RomImageBuilder::ByteOrder::N64 : RomImageBuilder::ByteOrder::Z64);
        images.append(builder.image());
        four.add(name, images.last());
    }
    const QString archive = world.path(QStringLiteral("four.7z")), plain = world.writeRom(QStringLiteral("plain.z64"));
    ASSERT_TRUE(four.writeTo(archive) && openAndWait(controller, QUrl::fromLocalFile(plain)));
    // A chooser running its own loop would return here only once closed: this closes it.
    QTimer::singleShot(3000, &controller, [] {
        if (QWidget *modal = QApplication::activeModalWidget())
            modal->close();
    });
    auto answers = std::make_shared<QList<bool>>();
    const auto open = [&] { return controller.handleURL(QUrl::fromLocalFile(archive), [answers](bool shown) { answers->append(shown); }); };

    ASSERT_TRUE(open());
    ArchiveEntryChooser *chooser = waitForChooser();
    ASSERT_TRUE(chooser && answers->isEmpty());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_EQ(chooser->list()->item(3)->text(), QStringLiteral("dir/Game D.n64 (1 MiB)"));
    // A second open (a hand-over, a --play) while it asks replaces it instead of running inside it.
    QPointer<ArchiveEntryChooser> replaced(chooser);
    const QString other = world.writeRom(QStringLiteral("other.z64"), "OTHER");
    ASSERT_TRUE(openAndWait(controller, QUrl::fromLocalFile(other)));
    EXPECT_TRUE(*answers == QList<bool>{false} && (!replaced || !replaced->isVisible()));

    // Chosen, the image is being read when the answer returns; Cancel leaves the window as it was.
    const auto choose = [&](int row) {
        ASSERT_TRUE(open());
        ArchiveEntryChooser *asking = waitForChooser();
        ASSERT_TRUE(asking);
        asking->list()->setCurrentRow(row);
        asking->accept();
    };
    choose(2);
    ASSERT_TRUE(controller.opener()->isBusy());
    controller.opener()->cancelButton()->click();
    QTest::qWait(200);
    EXPECT_TRUE(*answers == (QList<bool>{false, false}) && shownPath() == other);
    EXPECT_TRUE(recent.recentDocumentPaths().value(0) == other && controller.errorWindowController()->message().isEmpty());
    EXPECT_EQ(controller.dragWindow()->windowTitle(), QStringLiteral("other.z64 — Tolvane Launcher"));

    choose(3);
    EXPECT_TRUE(controller.opener()->isBusy() && shownPath() == other);
    ASSERT_TRUE(QTest::qWaitFor([&] { return answers->size() == 3; }, kTimeoutMs));
    EXPECT_TRUE(answers->last() && controller.rom()->archiveEntry() == QStringLiteral("dir/Game D.n64")) << controller.errorWindowController()->message().toStdString();
    EXPECT_EQ(controller.rom()->MD5(), md5Hex(builder.canonicalImage()));
    EXPECT_EQ(controller.dragWindow()->windowTitle(), QStringLiteral("four.7z \u25b8 dir/Game D.n64 — Tolvane Launcher"));
    EXPECT_EQ(controller.romVC()->pathField()->text(), archive + QStringLiteral(" \u25b8 dir/Game D.n64"));
    // Open Recent opens that entry again, without asking.
    controller.clearPressed();
    const QString remembered = recent.recentDocumentPaths().value(0);
    ASSERT_TRUE(openAndWait(controller, QUrl(remembered))) << remembered.toStdString();
    EXPECT_EQ(controller.rom()->archiveEntry(), QStringLiteral("dir/Game D.n64"));

    TestWorld::useStandInAsCustomBuild();
    controller.playPressed();
    ASSERT_TRUE(world.waitForRecord());
    const QString extracted = world.recordedArguments().last();
    EXPECT_TRUE(extracted.startsWith(EntryExtractor::folderPath() + QStringLiteral("/extracted-")) && extracted.endsWith(QStringLiteral("-Game D.n64")))
        << extracted.toStdString();
    QFile copy(extracted);
    ASSERT_TRUE(copy.open(QIODevice::ReadOnly));
    EXPECT_TRUE(copy.readAll() == images[3] && (copy.permissions() & (QFile::ReadOther | QFile::ReadGroup)) == 0);
    EXPECT_EQ(QFileInfo(EntryExtractor::folderPath()).permissions() & (QFile::ExeOther | QFile::ExeGroup), 0);
    controller.stopPressed();
    ASSERT_TRUE(waitForNoChild());
    EXPECT_FALSE(QFile::exists(extracted));
}

TEST_F(WindowControllerTest, AFullRuntimeFolderSaysSoStartsNothingAndLeavesNoPart)
{
    const QString runtime = world.path(QStringLiteral("runtime"));
    const QByteArray mountPoint = QFile::encodeName(runtime), saved = qgetenv("XDG_RUNTIME_DIR");
    ASSERT_TRUE(QDir().mkpath(runtime));
    if (::mount("tmpfs", mountPoint.constData(), "tmpfs", 0, "size=1m,mode=0700") != 0)
        GTEST_SKIP() << "a 1 MiB tmpfs cannot be mounted here (needs root, outside a locked-down container): " << std::strerror(errno);
    const auto restore = qScopeGuard([&] { qputenv("XDG_RUNTIME_DIR", saved); ::umount2(mountPoint.constData(), MNT_DETACH); });
    qputenv("XDG_RUNTIME_DIR", mountPoint);
    const QString archive = world.path(QStringLiteral("big.zip"));
    ASSERT_TRUE(ArchiveBuilder().add("Big.z64", RomImageBuilder().setSize(8 << 20).image()).writeTo(archive));
    ASSERT_TRUE(openAndWait(controller, QUrl::fromLocalFile(archive)));
    TestWorld::useStandInAsCustomBuild();
    controller.playPressed();
    const QString folder = runtime + QStringLiteral("/tolvane-launcher");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !controller.errorWindowController()->message().isEmpty(); }, kTimeoutMs));
    EXPECT_TRUE(controller.errorWindowController()->message().endsWith(
        QStringLiteral("There is not enough free space in %1 to extract the game.").arg(folder)))
        << controller.errorWindowController()->message().toStdString();
    EXPECT_FALSE(controller.task() || QFile::exists(world.path(QStringLiteral("record"))));
    EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList());
}

TEST_F(WindowControllerTest, RomViewIsADetailsColumnBesideTheLibraryAndShowsTheHeaderOnce)
{
    QWidget *window = controller.dragWindow(), *library = controller.library()->panel();
    const auto columnAt = [&](int width, int height) {
        window->resize(width, height);
        QTest::qWait(20);
        return controller.targetView()->width();
    };
    const int hint = columnAt(1000, 560);
    const QString path = world.writeRom(QStringLiteral("padded.z64"), "PADDED NAME    ", 0xABCD, 0xFFFFFFFF);
    const QString md5 = md5Hex(readFile(path));
    QDir().mkpath(world.path(QStringLiteral("covers")));
    QImage picture(40, 56, QImage::Format_RGB32);
    picture.fill(Qt::green);
    ASSERT_TRUE(picture.save(world.path(QStringLiteral("covers/%1.png").arg(md5))));
    UserDefaults::standardUserDefaults().setValueForKey(LibraryController::coversFolderKey, world.path(QStringLiteral("covers")));
    for (int i = 0; i < 2; ++i) // opened twice: still one view
        ASSERT_TRUE(openAndWait(controller, QUrl::fromLocalFile(path)));
    // The cover heads the details, once the loader has it.
    QLabel *cover = controller.romVC()->coverLabel();
    const auto centre = [cover] { return cover->pixmap().toImage().pixelColor(cover->pixmap().rect().center()); };
    EXPECT_TRUE(QTest::qWaitFor([&] { return cover->isVisibleTo(cover->parentWidget()) && centre() == Qt::green; }, kTimeoutMs));
    // The library takes what the window has; the details keep their width, the hint less.
    const int details = columnAt(1000, 560);
    EXPECT_TRUE(hint < details && details < 400 && library->width() > 1000 - details - 20) << hint << ' ' << details;
    // The list's first columns, last played and play time included, are all in sight beside it.
    QTableView *table = controller.library()->panel()->tableView();
    EXPECT_GE(table->viewport()->width(), table->horizontalHeader()->sectionViewportPosition(LibraryModel::PlayTime)
                                              + table->horizontalHeader()->sectionSize(LibraryModel::PlayTime));
    EXPECT_EQ(columnAt(1600, 1000), details);
    EXPECT_GT(library->width(), 1600 - details - 20);
    controller.library()->toggleAction()->setChecked(false);
    const int alone = columnAt(1000, 560);
    EXPECT_EQ(alone, controller.dragWindow()->centralWidget()->width());
    controller.library()->toggleAction()->setChecked(true);
    ROMViewController *romVC = controller.romVC();
    EXPECT_EQ(controller.targetView()->findChildren<QWidget *>(QStringLiteral("ROMView")).size(), 1);
    const QStringList expected{QStringLiteral("PADDED NAME    "), QStringLiteral("NTVE"), QStringLiteral("ABCD FFFFFFFF"), md5};
    const QList<QLineEdit *> fields{romVC->nameField(), romVC->codeField(), romVC->crcField(), romVC->md5Field()};
    for (int i = 0; i < 4; ++i)
        EXPECT_TRUE(fields[i]->text() == expected[i] && fields[i]->isReadOnly()) << fields[i]->text().toStdString();
}

// Special files under ROM names too: refused without blocking (a pipe would block an open),
// and the error window names the real reason without opening the file again.
TEST_F(WindowControllerTest, UnreadableFilesShowTheErrorWindowWithoutBlockingAndChangeNothing)
{
    const QString good = world.writeRom(QStringLiteral("good.z64"));
    ASSERT_TRUE(openAndWait(controller, QUrl::fromLocalFile(good)));
    QDir(world.path(QString())).mkdir(QStringLiteral("folder.z64"));
    const QString fifo = world.path(QStringLiteral("pipe.z64")), zero = world.path(QStringLiteral("zero.n64")),
                  null = world.path(QStringLiteral("null.v64")), socketPath = world.path(QStringLiteral("sock.z64"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), zero) && QFile::link(QStringLiteral("/dev/null"), null));
    const int sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
    const auto closeSocket = qScopeGuard([sock] { ::close(sock); });
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray encoded = QFile::encodeName(socketPath);
    ASSERT_LT(std::size_t(encoded.size()), sizeof address.sun_path);
    std::memcpy(address.sun_path, encoded.constData(), std::size_t(encoded.size()));
    ASSERT_EQ(::bind(sock, reinterpret_cast<sockaddr *>(&address), sizeof address), 0);
    const std::pair<QString, QString> cases[] = {
        {world.path(QStringLiteral("missing.z64")), QStringLiteral("does not exist")},
        {world.path(QStringLiteral("folder.z64")), QStringLiteral("folder")},
        {world.writeFile(QStringLiteral("empty.z64"), {}), QStringLiteral("empty")},
        {world.writeFile(QStringLiteral("short.z64"), QByteArray(4095, 'x')), QLocale().toString(4095) + QStringLiteral(" bytes")},
        {fifo, QStringLiteral("named pipe")}, {zero, QStringLiteral("character device")},
        {null, QStringLiteral("character device")}, {socketPath, QStringLiteral("socket")},
    };
    for (const auto &[path, reason] : cases) {
        ::alarm(20); // a blocked open ends the test here instead of hanging the suite
        EXPECT_FALSE(openAndWait(controller, QUrl::fromLocalFile(path)));
        ::alarm(0);
        auto *dialog = qobject_cast<QDialog *>(controller.errorWindowController()->window());
        ASSERT_TRUE(dialog && dialog->isVisible());
        EXPECT_EQ(QApplication::activeModalWidget(), dialog);
        const QString message = controller.errorWindowController()->message();
        EXPECT_TRUE(message.contains(path) && message.contains(reason)) << message.toStdString();
        EXPECT_TRUE(shownPath() == good && toolbarState() == QStringLiteral("PE--"));
        controller.errorWindowController()->okPressed();
        EXPECT_FALSE(dialog->isVisible());
    }
    EXPECT_EQ(recent.recentDocumentPaths(), QStringList{good});
}

TEST_F(WindowControllerTest, MissingEmulatorStartsNothingAndOffersTheEmulatorPane)
{
    const QString plainFile = world.writeFile(QStringLiteral("not-a-program"), "text");
    const struct { const char *build; QString path; } cases[] = {
        {"Default", world.contents(QStringLiteral("bin/tolvane-console"))}, {"Custom", plainFile}};
    QFile::remove(cases[0].path);
    const QString ini = controller.supervisor()->inputAutoCfgPath();
    QDir().mkpath(QFileInfo(world.configFilePath()).path());
    for (const auto &c : cases) {
        TestWorld::setSetting("Build", QString::fromLatin1(c.build));
        TestWorld::setSetting("CustomBuildPath", plainFile);
        world.writeFile(QStringLiteral("home/.config/tolvane/tolvane.cfg"), "kept");
        play("game.z64");
        EXPECT_EQ(controller.task(), nullptr);
        EXPECT_TRUE(QFile::exists(world.configFilePath()));
        EXPECT_FALSE(QFile::exists(ini));
        EXPECT_TRUE(controller.playButton()->isEnabled());
        QMessageBox *message = controller.emulatorMissingMessage();
        ASSERT_NE(message, nullptr);
        EXPECT_TRUE(accessibleTexts(message).join(QLatin1Char('\n')).contains(c.path)) << c.build;
        QSignalSpy asked(&controller, &WindowController::emulatorPreferencesRequested);
        message->buttons().constFirst()->click();
        EXPECT_EQ(asked.size(), 1);
    }
}

TEST_F(WindowControllerTest, EndingsTitleAndOutputReadInPlainWords)
{
    // The stand-in's output is not flushed when it crashes: a pipe would lose it.
    qputenv("TOLVANE_FAKE_SAY", "hello");
    qputenv("TOLVANE_FAKE_EXIT", "-11");
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    play("game.z64");
    // Checked once the streams are ours again: a failure's message would be captured too.
    const bool crashed = waitForStatus(QStringLiteral("The emulator crashed (Segmentation fault)."));
    OutputRelay::standardOutput().flush(QDeadlineTimer(kTimeoutMs));
    OutputRelay::standardError().flush(QDeadlineTimer(kTimeoutMs));
    const std::string passedOnError = testing::internal::GetCapturedStderr();
    const std::string passedOnOutput = testing::internal::GetCapturedStdout();
    EXPECT_TRUE(crashed);
    EXPECT_NE(passedOnError.find("hello on stderr"), std::string::npos);
    EXPECT_NE(passedOnOutput.find("hello on stdout\n"), std::string::npos) << "passed on as written";
    EXPECT_EQ(QAccessible::queryAccessibleInterface(controller.dragWindow())->text(QAccessible::Name),
              controller.dragWindow()->windowTitle());
    const QStringList romView = accessibleTexts(controller.romVC()->view());
    for (const QString &shown : {world.path(QStringLiteral("game.z64")), QStringLiteral("z64 (big-endian)"), QStringLiteral("CIC-NUS-6102")})
        EXPECT_TRUE(romView.contains(shown)) << shown.toStdString();
    EXPECT_TRUE(romView.filter(QStringLiteral("KiB (8")).size() == 1);
    qunsetenv("TOLVANE_FAKE_SAY");

    controller.showEmulatorOutput();
    EmulatorOutputWindow *output = controller.emulatorOutputWindow();
    EXPECT_EQ(output->commandField()->text(), controller.supervisor()->launchCommand(*controller.rom()));
    for (const char *line : {"hello on stdout", "hello on stderr"})
        EXPECT_TRUE(output->outputView()->toPlainText().split(QLatin1Char('\n')).contains(QLatin1String(line))) << line;
    output->hide();

    const auto useScript = [&](const QByteArray &text) {
        const QString path = world.writeFile(QStringLiteral("emulator%1").arg(text.size()), text);
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        TestWorld::setSetting("Build", QStringLiteral("Custom"));
        TestWorld::setSetting("CustomBuildPath", path);
        return path;
    };
    const EmulatorOutputLog *log = controller.supervisor()->outputLog();
    // The status names the file that runs, not the one opened since; what the emulator
    // writes while it saves, after its shell has gone, still arrives.
    useScript("#!/bin/sh\ntrap 'sleep 0.3; echo saved; exit 0' TERM\necho running\nwhile :; do sleep 0.1; done\n");
    play("running.z64");
    ASSERT_TRUE(QTest::qWaitFor([&] { return log->lines().contains(QStringLiteral("running")); }, kTimeoutMs));
    ASSERT_TRUE(openAndWait(controller, QUrl::fromLocalFile(world.writeRom(QStringLiteral("other.v64")))));
    EXPECT_TRUE(waitForStatus(QStringLiteral("Running running.z64")));
    EXPECT_EQ(controller.dragWindow()->windowTitle(), QStringLiteral("other.v64 — Tolvane Launcher"));
    controller.stopButton()->trigger();
    EXPECT_TRUE(waitForStatus(QStringLiteral("The emulator stopped.")));
    EXPECT_TRUE(QTest::qWaitFor([&] { return log->lines().contains(QStringLiteral("saved")); }, kTimeoutMs));

    // A program that is there but lacks its interpreter: its shell's words are shown.
    const QString script = useScript("#!/nonexistent/interpreter\n");
    controller.playButton()->trigger();
    EXPECT_TRUE(waitForStatus(QStringLiteral("The emulator could not be started because something %1 needs (its "
                                             "interpreter or a library) is missing.").arg(script)));
    EXPECT_TRUE(output->isVisible());
    EXPECT_FALSE(log->lines().filter(script).isEmpty());
    controller.clearPressed();
    EXPECT_EQ(controller.dragWindow()->windowTitle(), QStringLiteral("Tolvane Launcher"));
}

} // namespace
