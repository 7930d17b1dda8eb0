#include "input/PaneHelpers.h"

#include "prefs/LibraryPreferencesViewController.h"

#include <QFileDialog>
#include <QListWidget>
#include <QPushButton>

namespace {

// File ▸ Add ROM Folder… writes the list while the Library pane is open: the pane's Add and
// Remove must edit the list as stored then, not the one it showed.
TEST(PaneRoadsTest, TheLibraryPaneEditsTheFolderListAsStoredNow)
{
    TestWorld world;
    const QString a = world.path(QStringLiteral("a")), b = world.path(QStringLiteral("b")), c = world.path(QStringLiteral("c"));
    const auto stored = [] { return UserDefaults::standardUserDefaults().valueForKey(QStringLiteral("LibraryFolders")).toStringList().join(QLatin1Char('|')); };
    LibraryPreferencesViewController pane;
    pane.view();
    pane.addFolder(a);
    UserDefaults::standardUserDefaults().setValueForKey(QStringLiteral("LibraryFolders"), QStringList{a, b});
    pane.addFolder(c);
    EXPECT_EQ(stored(), QStringList({a, b, c}).join(QLatin1Char('|')));
    pane.folderList()->setCurrentRow(0);
    pane.removeSelected();
    EXPECT_EQ(stored(), QStringList({b, c}).join(QLatin1Char('|')));
    ASSERT_EQ(pane.folderList()->count(), 2);
    EXPECT_EQ(pane.folderList()->item(0)->text(), b);
    // The DAT files the same way, each named as the library read it once it has.
    UserDefaults::standardUserDefaults().setValueForKey(QStringLiteral("DatFiles"), QStringList{a, b});
    pane.setDatSummaries({{b, QStringLiteral("N64, 1, 2 games")}});
    ASSERT_EQ(pane.datList()->count(), 2);
    EXPECT_EQ(pane.datList()->item(1)->text(), QStringLiteral("N64, 1, 2 games"));
    pane.datList()->setCurrentRow(1);
    pane.removeDatButton()->click();
    EXPECT_EQ(UserDefaults::standardUserDefaults().valueForKey(QStringLiteral("DatFiles")).toStringList(), QStringList{a});
    EXPECT_EQ(pane.datList()->item(0)->text(), a);
}

} // namespace
