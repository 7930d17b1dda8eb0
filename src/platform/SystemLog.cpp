#include "platform/SystemLog.h"

#include "platform/OutputRelay.h"

#include <QByteArray>

#include <atomic>
#include <syslog.h>

namespace {

std::atomic<bool> g_echo{true};

} // namespace

void SystemLog::setEchoToStandardError(bool echo)
{
    g_echo = echo;
}

bool SystemLog::echoesToStandardError()
{
    return g_echo;
}

void SystemLog::log(const QString &line)
{
    const QByteArray bytes = line.toUtf8();
    // In order with the emulator's error output, and never waiting for a blocked stream.
    if (g_echo)
        OutputRelay::standardError().write(bytes + '\n');
    syslog(LOG_USER | LOG_NOTICE, "%s", bytes.constData());
}
