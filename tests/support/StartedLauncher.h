#pragma once

#include "support/TestWorld.h"

#include "app/AppDelegate.h"
#include "mainwindow/WindowController.h"
#include "rom/ROM.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMessageBox>
#include <QTest>

#include <algorithm>
#include <memory>

/// The Launcher as its executable starts it, in a world of its own, and what a test looks for
/// in it: the file shown, the message boxes up, a menu's item by its text.
struct StartedLauncher
{
    /// Makes the application object (after the world, so that the test may change the world
    /// first), hands it \a files as a command line does, finishes launching; the main window
    /// is then active.
    [[nodiscard]] bool start(const QStringList &files = {})
    {
        delegate = std::make_unique<AppDelegate>();
        for (const QString &file : files)
            EXPECT_FALSE(delegate->applicationOpenFile(file)) << "opened before the window was there";
        delegate->applicationDidFinishLaunching();
        return QTest::qWaitForWindowActive(controller().window(), kTimeoutMs);
    }
    WindowController &controller() const { return *delegate->myWindowController(); }
    QString shownPath() const
    {
        const auto rom = controller().rom();
        return rom ? rom->filePath()->toLocalFile() : QString();
    }
    /// Files are read off the GUI thread: shown a moment after they are handed over.
    [[nodiscard]] bool waitUntilShown(const QString &path) const
    {
        return QTest::qWaitFor([&] { return shownPath() == path; }, kTimeoutMs);
    }

    /// The texts of the message boxes showing now.
    static QStringList shownMessages()
    {
        QStringList texts;
        for (QWidget *window : QApplication::topLevelWidgets()) {
            if (auto *box = qobject_cast<QMessageBox *>(window); box && box->isVisible())
                texts.append(box->text());
        }
        return texts;
    }
    static QAction *itemNamed(const QMenu *menu, const QString &text)
    {
        const QList<QAction *> items = menu->actions();
        const auto found = std::find_if(items.begin(), items.end(), [&](const QAction *item) { return item->text() == text; });
        return found == items.end() ? nullptr : *found;
    }

    TestWorld world;
    std::unique_ptr<AppDelegate> delegate;
};
