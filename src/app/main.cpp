#include "app/AppDelegate.h"
#include "platform/SingleInstance.h"
#include "platform/UnixSignalWatcher.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QStringList>

#include <csignal>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("tolvane-launcher"));
    QApplication::setDesktopFileName(QStringLiteral("io.github.tolvane.Launcher"));
    // Closing the main window only hides it; the Launcher ends with Quit.
    QApplication::setQuitOnLastWindowClosed(false);

    // Every argument is a file handed to the application (the desktop file passes %F).
    QStringList files;
    const QStringList arguments = QApplication::arguments();
    for (qsizetype i = 1; i < arguments.size(); ++i)
        files.append(QFileInfo(arguments.at(i)).absoluteFilePath());

    SingleInstance instance;
    {
        // Two starts at the same moment must not both find nobody and take the socket in
        // turn; a lock left by a crashed start is taken over.
        QLockFile startLock(SingleInstance::defaultServerName() + QStringLiteral(".lock"));
        startLock.tryLock(5000);
        if (instance.sendToRunningInstance(files))
            return 0;
        instance.listen();
    }

    AppDelegate delegate;
    QObject::connect(&instance, &SingleInstance::filesReceived, &delegate, &AppDelegate::openFilesFromAnotherInstance);
    QObject::connect(&app, &QCoreApplication::aboutToQuit, &delegate, &AppDelegate::applicationWillTerminate);
    // Ended by the session, kill or Ctrl+C: leave through the event loop, so a running or
    // paused emulator is asked to end as at Quit.
    UnixSignalWatcher endSignals({SIGTERM, SIGINT, SIGHUP});
    QObject::connect(&endSignals, &UnixSignalWatcher::unixSignal, &app,
                     [](int signalNumber) { QCoreApplication::exit(128 + signalNumber); });

    // Handed over before launching has finished: only the last one is kept and opened.
    for (const QString &file : files)
        delegate.applicationOpenFile(file);
    QMetaObject::invokeMethod(&delegate, &AppDelegate::applicationDidFinishLaunching, Qt::QueuedConnection);
    return app.exec();
}
