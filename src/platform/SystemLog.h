#pragma once

#include <QString>

/// The diagnostic log: each line goes to standard error and to the system log.
class SystemLog
{
public:
    /// Writes \a line (without its own line end) as one line to standard error and to
    /// syslog(3). Never fails visibly.
    static void log(const QString &line);
    /// Whether log() writes to standard error too (by default it does); a command whose
    /// standard error is its caller's answer keeps its lines in the system log alone.
    static void setEchoToStandardError(bool echo);
    static bool echoesToStandardError();
};
