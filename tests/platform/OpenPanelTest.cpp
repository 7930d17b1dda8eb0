#include "platform/OpenPanel.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

TEST(OpenPanelTest, AFolderIsChosenOnlyWhenFoldersMayBeChosenAndFilesAlways)
{
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("Roms.z64"));
    const QString file = dir.filePath(QStringLiteral("GAME.V64"));
    ASSERT_TRUE(QDir().mkpath(folder));
    QFile image(file);
    ASSERT_TRUE(image.open(QIODevice::WriteOnly));
    image.write(QByteArray(4096, '\x80'));
    image.close();

    struct Case {
        bool canChooseDirectories;
        QString pick;
        bool chosen;
    } cases[] = {
        {true, folder, true},
        {true, file, true},
        {false, file, true},
        // Without the option a folder is entered, as in any file chooser, not chosen.
        {false, folder, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.pick.toStdString() + (c.canChooseDirectories ? " with folders" : " files only"));
        OpenPanel panel;
        panel.setCanChooseDirectories(c.canChooseDirectories);
        panel.setDirectory(dir.path());
        QSignalSpy finished(&panel, &QDialog::finished);
        panel.open();
        panel.selectFile(c.pick);
        panel.accept();
        if (c.chosen) {
            ASSERT_EQ(finished.count(), 1);
            EXPECT_EQ(finished.at(0).at(0).toInt(), int(QDialog::Accepted));
            EXPECT_EQ(panel.selectedUrls(), QList<QUrl>{QUrl::fromLocalFile(c.pick)});
        } else {
            EXPECT_EQ(finished.count(), 0);
            EXPECT_TRUE(panel.isVisible());
            EXPECT_EQ(QDir(panel.directory()).canonicalPath(), QDir(c.pick).canonicalPath());
        }
        panel.close();
    }
}

} // namespace
