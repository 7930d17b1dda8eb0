#include "platform/SystemLog.h"

#include "platform/OutputRelay.h"

#include <QByteArray>

#include <syslog.h>

void SystemLog::log(const QString &line)
{
    const QByteArray bytes = line.toUtf8();
    // In order with the emulator's error output, and never waiting for a blocked stream.
    OutputRelay::standardError().write(bytes + '\n');
    syslog(LOG_USER | LOG_NOTICE, "%s", bytes.constData());
}
