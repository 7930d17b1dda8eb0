#include "platform/XdgFolders.h"

#include <QStandardPaths>

namespace {

const QString kOurs = QStringLiteral("/tolvane-launcher");

} // namespace

QString XdgFolders::configHome()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
}

QString XdgFolders::runtimeHome()
{
    return QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
}

QString XdgFolders::config()
{
    return configHome() + kOurs;
}

QString XdgFolders::cache()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) + kOurs;
}

QString XdgFolders::data()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + kOurs;
}
