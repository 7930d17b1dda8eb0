#include "launch/ShellQuoting.h"

QString ShellQuoting::quoted(const QString &value)
{
    QString text = value;
    text.replace(QLatin1Char('\''), QStringLiteral("'\\''"));
    return QLatin1Char('\'') + text + QLatin1Char('\'');
}

QByteArray ShellQuoting::quoted(const QByteArray &value)
{
    QByteArray text = value;
    text.replace('\'', "'\\''");
    return '\'' + text + '\'';
}

bool ShellQuoting::isBareWord(const QString &value)
{
    if (value.isEmpty())
        return false;
    for (const QChar c : value) {
        const char16_t u = c.unicode();
        const bool plain = (u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z') || (u >= u'0' && u <= u'9')
            || u == u'_' || u == u'@' || u == u'%' || u == u'+' || u == u'=' || u == u':' || u == u','
            || u == u'.' || u == u'/' || u == u'-';
        if (!plain)
            return false;
    }
    return true;
}

QString ShellQuoting::bareOrQuoted(const QString &value)
{
    return isBareWord(value) ? value : quoted(value);
}
