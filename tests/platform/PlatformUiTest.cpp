#include "platform/OpenPanel.h"
#include "platform/UnixSignalWatcher.h"

#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <csignal>

#include <gtest/gtest.h>

namespace {

TEST(OpenPanelTest, AFolderIsChosenOnlyWhenFoldersMayBeChosenAndFilesAlways)
{
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("Roms.z64"));
    const QString file = dir.filePath(QStringLiteral("GAME.V64"));
    ASSERT_TRUE(QDir().mkpath(folder));
    QFile image(file);
    ASSERT_TRUE(image.open(QIODevice::WriteOnly) && image.write(QByteArray(4096, '\x80')));
    image.close();
    // Without the option a folder is entered, as in any file chooser, not chosen.
    const std::tuple<bool, QString, bool> cases[] = {{true, folder, true}, {true, file, true}, {false, file, true}, {false, folder, false}};
    for (const auto &[canChooseDirectories, pick, chosen] : cases) {
        OpenPanel panel;
        panel.setCanChooseDirectories(canChooseDirectories);
        panel.setDirectory(dir.path());
        QSignalSpy finished(&panel, &QDialog::finished);
        panel.open();
        panel.selectFile(pick);
        panel.accept();
        EXPECT_EQ(finished.count(), chosen ? 1 : 0) << pick.toStdString() << canChooseDirectories;
        EXPECT_EQ(panel.selectedUrls(), chosen ? QList<QUrl>{QUrl::fromLocalFile(pick)} : panel.selectedUrls());
        EXPECT_TRUE(chosen || QDir(panel.directory()).canonicalPath() == QDir(pick).canonicalPath());
        panel.close();
    }
}

TEST(UnixSignalWatcherTest, SignalsArriveThroughTheEventLoopInOrderAndTheOldHandlersComeBack)
{
    const auto handler = [](int signalNumber) {
        struct sigaction action = {};
        sigaction(signalNumber, nullptr, &action);
        return action.sa_handler;
    };
    ASSERT_EQ(handler(SIGUSR1), SIG_DFL);
    {
        UnixSignalWatcher watcher({SIGUSR1, SIGUSR2});
        QSignalSpy spy(&watcher, &UnixSignalWatcher::unixSignal);
        ::raise(SIGUSR2);
        ::raise(SIGUSR1);
        ASSERT_TRUE(spy.wait(5000) && (spy.count() == 2 || spy.wait(5000)));
        EXPECT_EQ(spy.at(0).at(0).toInt(), SIGUSR2);
        EXPECT_EQ(spy.at(1).at(0).toInt(), SIGUSR1);
    }
    EXPECT_EQ(handler(SIGUSR1), SIG_DFL);
}

} // namespace
