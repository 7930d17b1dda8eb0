#include "library/LibraryController.h"
#include "library/LibraryFolders.h"
#include "library/LibraryGridView.h"
#include "library/LibraryPanel.h"
#include "support/TestWorld.h"

#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QMainWindow>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>

#include <gtest/gtest.h>

// From an empty start the panel leads to games and to covers.
TEST(LibraryNoticeTest, AnEmptyLibraryOffersAFolderChooserAndAnEmptyGridTheCoversFolderSetting)
{
    TestWorld world;
    QDir().mkpath(world.path(QStringLiteral("lib")));
    const QString lib = QFileInfo(world.writeRom(QStringLiteral("lib/ALPHA.z64"), "ALPHA")).absolutePath();
    QMainWindow window;
    auto *library = new LibraryController(&window);
    LibraryPanel *panel = library->panel();
    window.setCentralWidget(panel);
    window.show();
    auto *notice = panel->findChild<QLabel *>(QStringLiteral("libraryNotice"));
    auto *choose = panel->findChild<QPushButton *>(QStringLiteral("chooseRomFolder"));
    auto *covers = panel->findChild<QPushButton *>(QStringLiteral("coversFolderSetting"));
    ASSERT_TRUE(notice && choose && covers);
    EXPECT_TRUE(notice->isVisible() && choose->isVisible() && !covers->isVisible());
    panel->showGrid(true);
    EXPECT_TRUE(covers->isVisible() && notice->text().contains(QStringLiteral("covers folder")));
    QSignalSpy coversAsked(library, &LibraryController::coversFolderRequested);
    covers->click();
    EXPECT_EQ(coversAsked.size(), 1);
    choose->click();
    auto *chooser = window.findChild<QFileDialog *>();
    ASSERT_TRUE(chooser && chooser->fileMode() == QFileDialog::Directory);
    Q_EMIT chooser->fileSelected(lib);
    EXPECT_EQ(LibraryFolders::folders(), QStringList{lib});
    EXPECT_TRUE(QTest::qWaitFor([notice] { return !notice->isVisible(); }, kTimeoutMs)) << notice->text().toStdString();
    EXPECT_TRUE(panel->gridView()->isVisible());
}
