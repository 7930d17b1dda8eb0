#include "platform/SystemLog.h"

#include <QByteArray>

#include <cstdio>
#include <syslog.h>

void SystemLog::log(const QString &line)
{
    const QByteArray bytes = line.toUtf8();
    // One write per line, so lines of concurrent writers do not interleave.
    const QByteArray withEnd = bytes + '\n';
    std::fwrite(withEnd.constData(), 1, size_t(withEnd.size()), stderr);
    std::fflush(stderr);
    syslog(LOG_USER | LOG_NOTICE, "%s", bytes.constData());
}
