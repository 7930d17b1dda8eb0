// What people see and hear: values in words, the controller picture, the capture hint, the
// guide to a missing emulator, endings in plain words, the open file, the emulator's output.
#include "input/PaneHelpers.h"

#include "input/ControllerPicture.h"
#include "input/MappingValue.h"
#include "launch/EmulatorOutputLog.h"
#include "platform/OutputRelay.h"
#include "launch/EmulatorSupervisor.h"
#include "mainwindow/EmulatorOutputWindow.h"
#include "mainwindow/OpenAndWait.h"
#include "mainwindow/ROMViewController.h"
#include "mainwindow/WindowController.h"

#include <QAccessible>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

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

} // namespace

TEST(MappingDisplay, EveryFormReadsInWords)
{
    const struct { const char *stored, *shown; } cases[] = {
        {"key(312)", "Right Super"}, {"key(311)", "Left Super"}, {"key(304)", "Left Shift"}, {"key(301)", "Caps Lock"},
        {"key(308)", "Left Alt"}, {"key(306)", "Left Ctrl"}, {"key(303)", "Right Shift"}, {"key(307)", "Right Alt"},
        {"key(305)", "Right Ctrl"}, {"key(276)", "Left"}, {"key(275)", "Right"}, {"key(274)", "Down"},
        {"key(273)", "Up"}, {"key(120)", "X"}, {"key(97)", "A"}, {"key(122)", "Z"}, {"key(49)", "1"},
        {"key(13)", "Return"}, {"key(32)", "Space"}, {"key(283)", "F2"}, {"key(1)", "Key 1"},
        {"button(0)", "Button 0"}, {"button(3)", "Button 3"}, {"axis(1-)", "Axis 1 \u2212"}, {"axis(2+)", "Axis 2 +"},
        {"axis(1)", "axis(1)"}, {"key(1+)", "key(1+)"}, {"hat(1)", "hat(1)"}, {"", ""}};
    for (const auto &c : cases)
        EXPECT_EQ(MappingValue::displayText(QString::fromUtf8(c.stored)), QString::fromUtf8(c.shown)) << c.stored;
}

class PresentationPaneTest : public testing::Test
{
protected:
    static UserDefaults &store() { return UserDefaults::standardUserDefaults(); }
    TestWorld world;
};

TEST_F(PresentationPaneTest, TableInWordsPictureSelectsAndHintSaysWhatIsCaptured)
{
    auto pane = loadPane(QStringLiteral("Keyboard"));
    // No row listens yet: the hint asks for one first.
    EXPECT_EQ(pane->hintLabel()->text(), QStringLiteral("Select an input, then press a key"));
    QAccessibleTableInterface *table = QAccessible::queryAccessibleInterface(pane->tableView())->tableInterface();
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->cellAt(0, 1)->text(QAccessible::Name), QStringLiteral("X"));
    EXPECT_EQ(table->cellAt(0, 1)->text(QAccessible::Description), QStringLiteral("key(120)"));
    EXPECT_EQ(pane->tableModel()->index(0, 1).data(Qt::ToolTipRole).toString(), QStringLiteral("key(120)"));

    ControllerPicture *picture = pane->picture();
    for (const QVariant &name : store().arrayForKey(QStringLiteral("Mapping")).value_or(QVariantList()))
        EXPECT_TRUE(picture->hasInput(name.toString())) << name.toString().toStdString();

    // A click on "Start" selects its row and arms it; the keys still go to the table.
    pane->view()->resize(900, 600);
    pane->view()->show();
    QApplication::setActiveWindow(pane->view());
    pane->tableView()->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return pane->tableView()->hasFocus(); }));
    QTest::mouseClick(picture, Qt::LeftButton, {}, picture->inputRect(3).center().toPoint());
    EXPECT_EQ(selectedRow(*pane), 3);
    EXPECT_EQ(pane->hintLabel()->text(), QStringLiteral("Press a key"));
    EXPECT_TRUE(pane->tableView()->hasFocus());
    sendKey(pane->tableView(), QEvent::KeyPress, Qt::Key_Q, 'q', QStringLiteral("q"));
    EXPECT_EQ(storedMapping(QStringLiteral("Keyboard")).value(3), QStringLiteral("key(113)"));
    EXPECT_EQ(picture->selectedRow(), 4);

    choose(*pane, QStringLiteral("Joystick 1"));
    EXPECT_EQ(pane->hintLabel()->text(), QStringLiteral("Press a button or move a stick on any pad"));
    pane->tableView()->clearSelection();
    EXPECT_EQ(pane->hintLabel()->text(), QStringLiteral("Select an input, then press a button or move a stick on any pad"));
}

TEST(EndingText, ReadsTheStatusAsTheShellReportsIt)
{
    const struct { bool ours, bySignal; int status; const char *text; } cases[] = {
        {true, true, 15, "The emulator stopped."}, {true, false, 3, "The emulator stopped."},
        {false, false, 0, "The emulator quit."}, {false, false, 3, "The emulator exited with status 3."},
        {false, false, 139, "The emulator crashed (Segmentation fault)."},
        {false, true, 11, "The emulator crashed (Segmentation fault)."},
        {false, false, 127, "The emulator could not be started: /opt/emu was not found."},
        {false, false, 200, "The emulator exited with status 200."}};
    for (const auto &c : cases)
        EXPECT_EQ(EmulatorSupervisor::endingText(c.ours, c.bySignal, c.status, QStringLiteral("/opt/emu")),
                  QString::fromLatin1(c.text)) << c.status;
}

TEST(EmulatorOutputLog, KeepsTheLastLinesWithinOneMebibyte)
{
    EmulatorOutputLog log;
    log.beginRun(QStringLiteral("'emu' --windowed"));
    for (int i = 0; i < 2500; ++i)
        log.append(i % 2 ? 2 : 1, QByteArrayLiteral("line ") + QByteArray::number(i) + (i % 7 ? "\n" : "\r\n"));
    log.append(1, "no end");
    EXPECT_EQ(log.lines().size(), EmulatorOutputLog::kMaximumLines);
    EXPECT_EQ(log.lines().constFirst(), QStringLiteral("line 500"));
    EXPECT_EQ(log.lines().constLast(), QStringLiteral("line 2499"));
    log.endRun();
    EXPECT_EQ(log.lines().constLast(), QStringLiteral("no end"));
    // The emulator writes to a terminal: colours, titles and overwritten progress are not text.
    log.append(2, "\x1b[1;31mred\x1b[0m \x1b]0;title\x07plain\x1b(B\t10%\r100%\n");
    EXPECT_EQ(log.lines().constLast(), QStringLiteral("100%"));
    log.append(2, "\x1b[1;31mred\x1b[0m \x1b]0;title\x1b\\plain\x1b(B\tend\x07\n");
    EXPECT_EQ(log.lines().constLast(), QStringLiteral("red plain\tend"));
    log.append(1, QByteArray(3 << 20, 'x'));
    EXPECT_LE(log.byteCount(), EmulatorOutputLog::kMaximumBytes);

    // However it arrives, a line longer than the log is one line: its end. A carriage return
    // rewrites the line, unless a line end follows it in the next piece.
    const struct { std::vector<QByteArray> pieces; QStringList lines; } cases[] = {
        {{"\rprogress 1", "0%\rprogress 2", "0%\r", "\n"}, {QStringLiteral("progress 20%")}},
        {{"saved\r", "\r\n", "\r", "next\r\n"}, {QStringLiteral("saved"), QStringLiteral("next")}},
        {std::vector<QByteArray>(48, QByteArray(64 * 1024, 'a')), {}},
    };
    for (const auto &c : cases) {
        log.beginRun(QString());
        for (const QByteArray &piece : c.pieces)
            log.append(1, piece);
        log.append(1, c.lines.isEmpty() ? "tail\n" : "");
        log.endRun();
        if (c.lines.isEmpty()) {
            ASSERT_EQ(log.lines().size(), 1);
            EXPECT_TRUE(log.lines().constFirst().endsWith(QStringLiteral("aaatail")));
            EXPECT_EQ(log.lines().constFirst().size(), EmulatorOutputLog::kMaximumBytes - 1);
        } else {
            EXPECT_EQ(log.lines(), c.lines);
        }
    }
}

// Lines that arrive while the window is open are shown a batch at a time: a few, then a
// flood that replaces every line; the view keeps the newest and follows the end.
TEST(EmulatorOutputLog, TheWindowShowsWhatArrivesAndAFloodAsItsNewestLines)
{
    EmulatorOutputLog log;
    EmulatorOutputWindow window(&log);
    window.show();
    log.beginRun(QStringLiteral("'emu'"));
    log.append(1, "first\nsecond\n");
    EXPECT_TRUE(QTest::qWaitFor([&] { return window.outputView()->toPlainText() == QStringLiteral("first\nsecond"); }, kTimeoutMs));
    for (int i = 0; i < 3000; ++i)
        log.append(i % 2 + 1, "line " + QByteArray::number(i) + '\n');
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.outputView()->toPlainText().endsWith(QStringLiteral("\nline 2999")); }, kTimeoutMs));
    EXPECT_EQ(window.outputView()->blockCount(), EmulatorOutputLog::kMaximumLines);
    EXPECT_TRUE(window.outputView()->toPlainText().startsWith(QStringLiteral("line 1000\n")));
    const QScrollBar *scroll = window.outputView()->verticalScrollBar();
    EXPECT_EQ(scroll->value(), scroll->maximum());
}

class PresentationWindowTest : public testing::Test
{
protected:
    void SetUp() override
    {
        controller.showWindow(nullptr);
        // The default build is the stand-in in the test's own resource folder.
        controller.supervisor()->setBundlePath(world.resourcePath());
        controller.supervisor()->readEmulatorConfig();
    }
    void TearDown() override { controller.clearPressed(); }
    void play(const char *romName)
    {
        ASSERT_TRUE(openAndWait(controller, QUrl::fromLocalFile(world.writeRom(QString::fromLatin1(romName)))));
        controller.playButton()->trigger();
    }
    bool waitForStatus(const QString &text)
    {
        return QTest::qWaitFor([&] { return accessibleTexts(controller.dragWindow()).contains(text); }, kTimeoutMs);
    }

    TestWorld world;
    WindowController controller;
};

TEST_F(PresentationWindowTest, MissingEmulatorStartsNothingAndOffersTheEmulatorPane)
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

TEST_F(PresentationWindowTest, EndingsTitleAndOutputReadInPlainWords)
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
    EXPECT_EQ(controller.dragWindow()->windowTitle(), QStringLiteral("game.z64 — Tolvane Launcher"));
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
