#include "library/GameHistory.h"

#include <QDateTime>
#include <QLocale>

void GameHistory::addRun(qint64 endedAt, qint64 activeMs)
{
    lastPlayed = endedAt;
    if (activeMs >= kMinimumPlayMs)
        playMs += activeMs;
}

QString GameHistory::lastPlayedText(qint64 lastPlayed, const QDate &today)
{
    if (lastPlayed <= 0)
        return QString();
    const QDate day = QDateTime::fromSecsSinceEpoch(lastPlayed).date();
    const qint64 days = day.daysTo(today);
    if (days <= 0)
        return tr("Today");
    if (days == 1)
        return tr("Yesterday");
    if (days <= 7)
        return tr("%n days ago", nullptr, int(days));
    return QLocale().toString(day, QLocale::ShortFormat);
}

QString GameHistory::playTimeText(qint64 playMs)
{
    if (playMs <= 0)
        return QString();
    const qint64 minutes = playMs / 60000;
    if (minutes == 0)
        return tr("Less than a minute");
    if (minutes < 60)
        return tr("%1 min").arg(minutes);
    return tr("%1 h %2 min").arg(minutes / 60).arg(minutes % 60);
}
