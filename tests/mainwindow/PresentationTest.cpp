// What people see and hear: values in words, the controller picture, the capture hint, endings
// in plain words, the emulator's output (in the main window: WindowControllerTest's).
#include "input/PaneHelpers.h"

#include "input/ControllerPicture.h"
#include "input/MappingValue.h"
#include "launch/EmulatorOutputLog.h"
#include "launch/EmulatorSupervisor.h"
#include "mainwindow/EmulatorOutputWindow.h"

#include <QAccessible>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTest>

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

TEST(PresentationPaneTest, TableInWordsPictureSelectsAndHintSaysWhatIsCaptured)
{
    TestWorld world;
    auto pane = loadPane(QStringLiteral("Keyboard"));
    // No row listens yet: the hint asks for one first.
    EXPECT_EQ(pane->hintLabel()->text(), QStringLiteral("Select an input, then press a key"));
    QAccessibleTableInterface *table = QAccessible::queryAccessibleInterface(pane->tableView())->tableInterface();
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->cellAt(0, 1)->text(QAccessible::Name), QStringLiteral("X"));
    EXPECT_EQ(table->cellAt(0, 1)->text(QAccessible::Description), QStringLiteral("key(120)"));
    EXPECT_EQ(pane->tableModel()->index(0, 1).data(Qt::ToolTipRole).toString(), QStringLiteral("key(120)"));

    ControllerPicture *picture = pane->picture();
    for (const QVariant &name : UserDefaults::standardUserDefaults().arrayForKey(QStringLiteral("Mapping")).value_or(QVariantList()))
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

    choose(*pane, QStringLiteral("Joystick 1")); // armed, its hint is PadCaptureTest's
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
