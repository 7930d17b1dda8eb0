#include "mainwindow/OpenAndWait.h"
#include "support/TestWorld.h"

#include "settings/EffectiveSettings.h"
#include "library/LibraryController.h"
#include "library/LibraryModel.h"
#include "mainwindow/ROMViewController.h"
#include "mainwindow/WindowController.h"
#include "platform/PropertyList.h"
#include "platform/UserDefaults.h"
#include "prefs/ClickActionTextField.h"
#include "prefs/EmulatorPreferencesViewController.h"
#include "prefs/GameSettingsWindowController.h"
#include "prefs/LibraryPreferencesViewController.h"
#include "prefs/PrefrenceWindowController.h"
#include "prefs/VideoPreferencesViewController.h"
#include "rom/ROM.h"

#include "ui_VideoPrefsView.h"

#include <QDir>
#include <QFileDialog>
#include <QListWidget>
#include <QTest>
#include <QUrl>

#include <gtest/gtest.h>

// The settings file edited by hand while everything is open: once the store has taken the edit
// in, every view that shows a setting shows the new value, as Play would use it.
TEST(StoreFollowTest, EveryViewShowsAHandEditOfTheSettingsFile)
{
    TestWorld world;
    const QString lib = world.path(QStringLiteral("lib"));
    QDir().mkpath(lib);
    const QString file = world.writeRom(QStringLiteral("lib/GAME.z64"), "HAND EDITED");
    WindowController main;
    main.window();
    ASSERT_TRUE(openAndWait(main, QUrl::fromLocalFile(file)));
    const QString md5 = *main.rom()->MD5();
    PrefrenceWindowController prefs;
    prefs.window();
    GameSettingsWindowController game(EffectiveSettings::forROM(main.rom().get()));
    game.showWindow(nullptr);
    Ui::VideoPrefsView *video = prefs.videoVC()->ui(), *gameVideo = game.videoVC()->ui();
    prefs.emulatorVC()->view();
    prefs.libraryVC()->view();
    UserDefaults &store = UserDefaults::standardUserDefaults();
    store.setValueForKey(QStringLiteral("Resolution"), QStringLiteral("800x600"));
    const auto handEdit = [&store, &world](const QVariantMap &edits) {
        QVariantMap onDisk = PropertyList::fromData(readFile(store.filePath())).value_or(QVariant()).toMap();
        for (auto it = edits.cbegin(); it != edits.cend(); ++it)
            it->isValid() ? void(onDisk.insert(it.key(), *it)) : void(onDisk.remove(it.key()));
        world.writeFile(QDir(world.path(QString())).relativeFilePath(store.filePath()), PropertyList::toXml(onDisk));
        store.synchronize();
    };
    const auto ownColumn = [&main] {
        LibraryModel *model = main.library()->model();
        return model->rowCount() == 1 ? model->index(0, LibraryModel::OwnSettings).data().toString() : QStringLiteral("?");
    };

    handEdit({{QStringLiteral("Resolution"), QStringLiteral("1600x1200")},
              {QStringLiteral("Fullscreen"), true},
              {QStringLiteral("Build"), QStringLiteral("Custom")},
              {QStringLiteral("CustomBuildPath"), QStringLiteral("/opt/tolvane/ui-console")},
              {QStringLiteral("LibraryFolders"), QStringList{lib}},
              {EffectiveSettings::kGameSettingsKey,
               QVariantMap{{md5, QVariantMap{{QStringLiteral("Resolution"), QStringLiteral("1280x720")}}}}}});
    EXPECT_EQ(video->resolutionBox->currentText(), QStringLiteral("1600x1200"));
    EXPECT_TRUE(video->fullscreenBox->isChecked());
    EXPECT_EQ(prefs.emulatorVC()->buildSelector()->currentData().toString(), QStringLiteral("Custom"));
    EXPECT_EQ(prefs.emulatorVC()->buildPathField()->text(), QStringLiteral("/opt/tolvane/ui-console"));
    ASSERT_EQ(prefs.libraryVC()->folderList()->count(), 1);
    EXPECT_EQ(prefs.libraryVC()->folderList()->item(0)->text(), lib);
    EXPECT_FALSE(game.globalBox(EffectiveSettings::Video)->isChecked());
    EXPECT_TRUE(gameVideo->resolutionBox->isEnabled());
    EXPECT_EQ(gameVideo->resolutionBox->currentText(), QStringLiteral("1280x720"));
    EXPECT_FALSE(main.romVC()->ownSettingsLabel()->isHidden());
    EXPECT_TRUE(QTest::qWaitFor([&] { return ownColumn() == QStringLiteral("video"); }, kTimeoutMs))
        << "the folder is read without F5, and its game has its own video: " << qPrintable(ownColumn());

    // The game's entry taken out by hand: it uses the global settings again, everywhere.
    handEdit({{EffectiveSettings::kGameSettingsKey, QVariant()}});
    EXPECT_TRUE(game.globalBox(EffectiveSettings::Video)->isChecked());
    EXPECT_FALSE(gameVideo->resolutionBox->isEnabled());
    EXPECT_EQ(gameVideo->resolutionBox->currentText(), QStringLiteral("1600x1200"));
    EXPECT_TRUE(main.romVC()->ownSettingsLabel()->isHidden());
    EXPECT_EQ(ownColumn(), QString());
}
