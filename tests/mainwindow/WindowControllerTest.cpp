#include "support/TestWorld.h"

#include "mainwindow/DragWindow.h"
#include "mainwindow/EmptyViewController.h"
#include "mainwindow/ErrorWinController.h"
#include "mainwindow/ROMViewController.h"
#include "mainwindow/WindowController.h"
#include "platform/RecentDocuments.h"
#include "platform/UserDefaults.h"
#include "rom/ROM.h"

#include <QAction>
#include <QApplication>
#include <QCryptographicHash>
#include <QDialog>
#include <QDir>
#include <QDragEnterEvent>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMimeData>
#include <QLabel>
#include <QTest>
#include <QToolBar>

#include <gtest/gtest.h>

namespace {

// "PESx" for Play, Eject, Stop, pause, one letter per enabled action, in that order.
QString toolbarState(const WindowController &controller)
{
    QString state;
    for (const auto &[action, letter] : {std::pair{controller.playButton(), 'P'}, std::pair{controller.clearButton(), 'E'},
                                         std::pair{controller.pauseButton(), 'U'}, std::pair{controller.stopButton(), 'S'}})
        state += QLatin1Char(action->isEnabled() ? letter : '-');
    return state;
}

QString shownPath(const WindowController &controller)
{
    return controller.rom() ? controller.rom()->filePath().value_or(QUrl()).toLocalFile() : QString();
}

QWidget *nextFocusable(QWidget *widget)
{
    QWidget *next = widget->nextInFocusChain();
    while (next && next != widget && !(next->focusPolicy() & Qt::TabFocus))
        next = next->nextInFocusChain();
    return next;
}

QDialog *visibleErrorWindow(WindowController &controller)
{
    auto *dialog = qobject_cast<QDialog *>(controller.errorWindowController()->window());
    return dialog && dialog->isVisible() ? dialog : nullptr;
}

class WindowControllerTest : public testing::Test
{
protected:
    void SetUp() override
    {
        world.useStandInAsCustomBuild();
        controller = std::make_unique<WindowController>();
        controller->setRecentDocuments(&recent);
        controller->showWindow(nullptr);
        ASSERT_NE(controller->dragWindow(), nullptr);
    }

    void TearDown() override
    {
        // Leave no emulator behind for the next test.
        controller->clearPressed();
        for (const pid_t pid : world.recordedPids())
            EXPECT_TRUE(waitUntilEnded(pid));
        controller.reset();
    }

    bool waitForNoChild()
    {
        return QTest::qWaitFor([this]() { return controller->task() == nullptr; }, kTimeoutMs);
    }

    TestWorld world;
    RecentDocuments recent{&UserDefaults::standardUserDefaults()};
    std::unique_ptr<WindowController> controller;
};

TEST_F(WindowControllerTest, ToolbarFollowsEveryStateWithTheRealStandIn)
{
    EXPECT_EQ(toolbarState(*controller), QStringLiteral("----")) << "no ROM";
    const QString first = world.writeRom(QStringLiteral("first.z64"));
    const QString second = world.writeRom(QStringLiteral("second.z64"), "SECOND");
    ASSERT_TRUE(controller->handleURL(QUrl::fromLocalFile(first)));
    EXPECT_EQ(toolbarState(*controller), QStringLiteral("PE--")) << "ROM shown";

    controller->playButton()->trigger();
    ASSERT_TRUE(world.waitForRecord());
    EXPECT_TRUE(world.recordedArguments().contains(first));
    EXPECT_EQ(toolbarState(*controller), QStringLiteral("--US")) << "running";

    // Another ROM while running: shown at once, but the child goes on and Play stays off.
    ChildProcess *const runningTask = controller->task();
    ASSERT_TRUE(controller->handleURL(QUrl::fromLocalFile(second)));
    EXPECT_EQ(controller->romVC()->nameField()->text(), QStringLiteral("SECOND"));
    EXPECT_EQ(controller->task(), runningTask);
    EXPECT_EQ(toolbarState(*controller), QStringLiteral("--US")) << "running, other ROM opened";

    controller->pauseButton()->trigger();
    EXPECT_EQ(toolbarState(*controller), QStringLiteral("P--S")) << "paused";
    const pid_t pid = world.recordedPids().at(0);
    EXPECT_TRUE(waitForStopped(pid));

    // Play on the paused child resumes it: the stand-in does not start again.
    world.clearRecord();
    controller->playButton()->trigger();
    EXPECT_EQ(toolbarState(*controller), QStringLiteral("--US")) << "resumed";
    EXPECT_TRUE(waitForStopped(pid, false));
    EXPECT_FALSE(world.hasRecord());

    // Stop while paused: Play stays offered and resumes the child into its end.
    controller->pauseButton()->trigger();
    controller->stopButton()->trigger();
    EXPECT_EQ(toolbarState(*controller), QStringLiteral("P--S")) << "stop requested while paused";
    controller->playButton()->trigger();
    ASSERT_TRUE(waitForNoChild());
    EXPECT_EQ(toolbarState(*controller), QStringLiteral("PE--")) << "ended";
    EXPECT_EQ(controller->statusLabel()->text(), QStringLiteral("The emulator stopped."));

    // A new start plays the ROM now shown; Stop while running withdraws Play until the end.
    controller->playButton()->trigger();
    ASSERT_TRUE(world.waitForRecord());
    EXPECT_TRUE(world.recordedArguments().contains(second));
    controller->stopButton()->trigger();
    EXPECT_EQ(toolbarState(*controller), QStringLiteral("--US")) << "stop requested while running";
    ASSERT_TRUE(waitForNoChild());
    EXPECT_EQ(toolbarState(*controller), QStringLiteral("PE--")) << "ended after Stop";

    // Eject while running ends the child and leaves nothing offered.
    world.clearRecord();
    controller->playButton()->trigger();
    ASSERT_TRUE(world.waitForRecord());
    const pid_t ejected = world.recordedPids().at(0);
    controller->clearPressed();
    EXPECT_EQ(toolbarState(*controller), QStringLiteral("----")) << "ejected";
    EXPECT_EQ(controller->rom(), nullptr);
    EXPECT_EQ(controller->currentController(), controller->emptyVC());
    EXPECT_TRUE(waitUntilEnded(ejected));
}

TEST_F(WindowControllerTest, DropsAreTakenOnlyFromFileUrlsWithARomExtensionAndAGenericSource)
{
    const QString rom = world.writeRom(QStringLiteral("drop.z64"));
    const Qt::DropActions fileManager = Qt::CopyAction | Qt::MoveAction | Qt::LinkAction;
    struct Case {
        QString description;
        QList<QUrl> urls;
        QString text;
        Qt::DropActions actions;
        bool accepted;
    } cases[] = {
        {QStringLiteral("z64 from a file manager"), {QUrl::fromLocalFile(rom)}, {}, fileManager, true},
        {QStringLiteral("v64, copy or move"), {QUrl::fromLocalFile(world.path(QStringLiteral("a.v64")))}, {}, Qt::CopyAction | Qt::MoveAction, true},
        {QStringLiteral("n64, copy or link"), {QUrl::fromLocalFile(world.path(QStringLiteral("a.n64")))}, {}, Qt::CopyAction | Qt::LinkAction, true},
        {QStringLiteral("capital extension"), {QUrl::fromLocalFile(world.path(QStringLiteral("a.Z64")))}, {}, fileManager, false},
        {QStringLiteral("archive of a ROM"), {QUrl::fromLocalFile(world.path(QStringLiteral("a.z64.zip")))}, {}, fileManager, false},
        {QStringLiteral("no extension"), {QUrl::fromLocalFile(world.path(QStringLiteral("z64")))}, {}, fileManager, false},
        {QStringLiteral("web URL"), {QUrl(QStringLiteral("https://example.org/a.z64"))}, {}, fileManager, false},
        {QStringLiteral("plain text"), {}, QStringLiteral("/tmp/a.z64"), fileManager, false},
        {QStringLiteral("copy-only source"), {QUrl::fromLocalFile(rom)}, {}, Qt::CopyAction, false},
        {QStringLiteral("move-only source"), {QUrl::fromLocalFile(rom)}, {}, Qt::MoveAction, false},
    };
    DragWindow *window = controller->dragWindow();
    for (const Case &c : cases) {
        QMimeData mime;
        if (!c.urls.isEmpty())
            mime.setUrls(c.urls);
        if (!c.text.isEmpty())
            mime.setText(c.text);
        QDragEnterEvent enter(QPoint(20, 20), c.actions, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(window, &enter);
        EXPECT_EQ(enter.isAccepted(), c.accepted) << c.description.toStdString();
        if (c.accepted) {
            EXPECT_EQ(enter.dropAction(), Qt::CopyAction) << c.description.toStdString();
        }
        QDragLeaveEvent leave;
        QApplication::sendEvent(window, &leave);
    }

    // The accepted file, dropped, is opened and shown.
    QMimeData file;
    file.setUrls({QUrl::fromLocalFile(rom)});
    QDragEnterEvent enter(QPoint(20, 20), fileManager, &file, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window, &enter);
    QDropEvent drop(QPointF(20, 20), fileManager, &file, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window, &drop);
    EXPECT_TRUE(drop.isAccepted());
    EXPECT_EQ(shownPath(*controller), rom);
    EXPECT_EQ(controller->currentController(), controller->romVC());
    EXPECT_EQ(recent.recentDocumentPaths(), QStringList{rom});
}

TEST_F(WindowControllerTest, OpenPanelTakesAnyNameAndCancelChangesNothing)
{
    const QString capital = world.writeRom(QStringLiteral("GAME.V64"));
    controller->openFile(nullptr);
    QFileDialog *panel = controller->openPanel();
    ASSERT_NE(panel, nullptr);
    EXPECT_FALSE(panel->isModal() && panel->windowModality() == Qt::ApplicationModal);
    EXPECT_TRUE(panel->nameFilters().isEmpty() || panel->nameFilters() == QStringList{QStringLiteral("All Files (*)")});
    panel->reject();
    QTest::qWait(0);
    EXPECT_EQ(controller->rom(), nullptr);

    controller->openFile(nullptr);
    panel = controller->openPanel();
    ASSERT_NE(panel, nullptr);
    panel->setDirectory(world.root());
    panel->selectFile(capital);
    static_cast<QDialog *>(panel)->accept();
    EXPECT_TRUE(QTest::qWaitFor([this, capital]() { return shownPath(*controller) == capital; }, kTimeoutMs));
    EXPECT_EQ(toolbarState(*controller), QStringLiteral("PE--"));
}

TEST_F(WindowControllerTest, RomViewShowsTheHeaderAndRefreshesAfterEject)
{
    const QString first = world.writeRom(QStringLiteral("padded.z64"), "PADDED NAME    ", 0xABCD, 0xFFFFFFFF, "NPDE");
    ASSERT_TRUE(controller->handleURL(QUrl::fromLocalFile(first)));
    ROMViewController *romVC = controller->romVC();
    const QString digest = QString::fromLatin1(QCryptographicHash::hash(readFile(first), QCryptographicHash::Md5).toHex());
    EXPECT_EQ(romVC->nameField()->text(), QStringLiteral("PADDED NAME    "));
    EXPECT_EQ(romVC->codeField()->text(), QStringLiteral("NPDE"));
    EXPECT_EQ(romVC->crcField()->text(), QStringLiteral("ABCD FFFFFFFF"));
    EXPECT_EQ(romVC->md5Field()->text(), digest);
    for (QLineEdit *field : {romVC->nameField(), romVC->codeField(), romVC->crcField(), romVC->md5Field()})
        EXPECT_TRUE(field->isReadOnly() && !field->accessibleName().isEmpty());
    EXPECT_EQ(controller->targetView()->findChildren<QWidget *>(QStringLiteral("ROMView")).size(), 1);

    controller->clearPressed();
    EXPECT_EQ(toolbarState(*controller), QStringLiteral("----"));
    EXPECT_EQ(romVC->crcField()->text(), QStringLiteral("ABCD FFFFFFFF")) << "Eject leaves the fields as they were";
    EXPECT_FALSE(romVC->view()->isVisible());

    const QString second = world.writeRom(QStringLiteral("other.v64"), "OTHER", 0x1, 0x80000000, "NOTR");
    ASSERT_TRUE(controller->handleURL(QUrl::fromLocalFile(second)));
    EXPECT_EQ(romVC->nameField()->text(), QStringLiteral("OTHER"));
    EXPECT_EQ(romVC->codeField()->text(), QStringLiteral("NOTR"));
    EXPECT_EQ(romVC->crcField()->text(), QStringLiteral("1 80000000"));
    EXPECT_EQ(romVC->md5Field()->text(), QString::fromLatin1(QCryptographicHash::hash(readFile(second), QCryptographicHash::Md5).toHex()));
    EXPECT_EQ(controller->targetView()->findChildren<QWidget *>(QStringLiteral("ROMView")).size(), 1);
    EXPECT_EQ(controller->targetView()->findChildren<QWidget *>(QStringLiteral("EmptyView")).size(), 0);
}

TEST_F(WindowControllerTest, UnreadableFilesShowTheErrorWindowAndChangeNothing)
{
    const QString good = world.writeRom(QStringLiteral("good.z64"));
    ASSERT_TRUE(controller->handleURL(QUrl::fromLocalFile(good)));
    QDir(world.root()).mkdir(QStringLiteral("folder.z64"));
    const QString unreadable = world.writeFile(QStringLiteral("locked.z64"), QByteArray(8192, 'x'));
    QFile::setPermissions(unreadable, QFileDevice::Permissions());
    const bool canLock = !QFile(unreadable).open(QIODevice::ReadOnly); // root reads everything
    struct Case {
        QString path;
        QString reason;
    } cases[] = {
        {world.path(QStringLiteral("missing.z64")), QStringLiteral("does not exist")},
        {world.path(QStringLiteral("folder.z64")), QStringLiteral("folder")},
        {world.writeFile(QStringLiteral("empty.z64"), {}), QStringLiteral("empty")},
        {world.writeFile(QStringLiteral("short.z64"), QByteArray(4095, 'x')), QStringLiteral("4095 bytes")},
        {unreadable, QStringLiteral("cannot be read")},
    };
    for (const Case &c : cases) {
        if (c.path == unreadable && !canLock)
            continue;
        SCOPED_TRACE(c.path.toStdString());
        EXPECT_FALSE(controller->handleURL(QUrl::fromLocalFile(c.path)));
        QDialog *dialog = visibleErrorWindow(*controller);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->windowModality(), Qt::ApplicationModal);
        EXPECT_EQ(QApplication::activeModalWidget(), dialog);
        const QString message = controller->errorWindowController()->message();
        EXPECT_TRUE(message.contains(QDir::toNativeSeparators(c.path))) << message.toStdString();
        EXPECT_TRUE(message.contains(c.reason)) << message.toStdString();
        const QRect screen = dialog->screen()->availableGeometry();
        EXPECT_LE((dialog->frameGeometry().center() - screen.center()).manhattanLength(), 4);
        EXPECT_EQ(shownPath(*controller), good);
        EXPECT_EQ(controller->currentController(), controller->romVC());
        EXPECT_EQ(toolbarState(*controller), QStringLiteral("PE--"));
        controller->errorWindowController()->okPressed();
        EXPECT_EQ(visibleErrorWindow(*controller), nullptr);
    }
    EXPECT_EQ(recent.recentDocumentPaths(), QStringList{good});

    // 4096 bytes of anything is still an image the reader takes.
    const QString junk = world.writeFile(QStringLiteral("junk.bin"), QByteArray(4096, '\x5a'));
    EXPECT_TRUE(controller->handleURL(QUrl::fromLocalFile(junk)));
    EXPECT_EQ(shownPath(*controller), junk);
    EXPECT_EQ(visibleErrorWindow(*controller), nullptr);
}

TEST_F(WindowControllerTest, ToolbarItemsHaveTheirLabelsAsAccessibleNamesAndUnknownLabelsAreOff)
{
    QToolBar *toolBar = controller->dragWindow()->findChild<QToolBar *>();
    ASSERT_NE(toolBar, nullptr);
    QStringList labels;
    for (QAction *action : toolBar->actions()) {
        labels.append(action->text());
        QWidget *button = toolBar->widgetForAction(action);
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->accessibleName(), action->text());
        EXPECT_FALSE(action->icon().isNull()) << action->text().toStdString();
    }
    EXPECT_EQ(labels, (QStringList{QStringLiteral("Play"), QStringLiteral("Pause"), QStringLiteral("Stop"), QStringLiteral("Eject")}));
    EXPECT_EQ(controller->playButton()->shortcut(), QKeySequence(QStringLiteral("Ctrl+R")));
    EXPECT_EQ(controller->stopButton()->shortcut(), QKeySequence(QStringLiteral("Ctrl+.")));

    ASSERT_TRUE(controller->handleURL(QUrl::fromLocalFile(world.writeRom(QStringLiteral("x.z64")))));
    QAction play(QStringLiteral("play"));
    QAction other(QStringLiteral("Record"));
    EXPECT_TRUE(controller->validateToolbarItem(controller->playButton()));
    EXPECT_FALSE(controller->validateToolbarItem(&play)) << "labels are compared exactly";
    EXPECT_FALSE(controller->validateToolbarItem(&other));

    // Keyboard focus runs through the four fields in reading order.
    ROMViewController *romVC = controller->romVC();
    EXPECT_EQ(nextFocusable(romVC->nameField()), romVC->codeField());
    EXPECT_EQ(nextFocusable(romVC->codeField()), romVC->crcField());
    EXPECT_EQ(nextFocusable(romVC->crcField()), romVC->md5Field());
}

} // namespace
