// Tests with windows, panes or children run inside an application object: its event loop
// brings children's end notices and widget events. HOME and the XDG folders point into a
// temporary folder for the whole run, so nothing of the real user is touched. Tests of code
// without widgets (TOLVANE_TEST_CORE) run in a core application and do not load Qt Widgets.
#ifdef TOLVANE_TEST_CORE
#include <QCoreApplication>
#else
#include <QApplication>
#endif
#include "platform/Translations.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    QTemporaryDir home;
    if (!home.isValid() || !QDir(home.path()).mkpath(QStringLiteral("runtime")))
        return 1;
    QFile::setPermissions(home.filePath(QStringLiteral("runtime")), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("HOME", QFile::encodeName(home.path()));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.filePath(QStringLiteral(".config"))));
    qputenv("XDG_DATA_HOME", QFile::encodeName(home.filePath(QStringLiteral(".local/share"))));
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(home.filePath(QStringLiteral("runtime"))));
    // Test discovery runs us without the test environment.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
#ifdef TOLVANE_TEST_CORE
    QCoreApplication app(argc, argv);
#else
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
#endif
    // What an English-speaking user reads: the plural forms come from the English catalogue.
    Translations::install(app, QLocale(QLocale::English));
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
