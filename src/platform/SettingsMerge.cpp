#include "platform/SettingsMerge.h"

#include <QSet>

namespace {

bool isDictionaryOrAbsent(const QVariant &value)
{
    return !value.isValid() || value.typeId() == QMetaType::QVariantMap;
}

QVariantMap mergeLevel(const QVariantMap &base, const QVariantMap &ours, const QVariantMap &theirs,
                       const std::function<bool(const QString &)> &oursIsLater, bool perGame)
{
    QVariantMap result = theirs;
    QSet<QString> keys(base.keyBegin(), base.keyEnd());
    keys.unite(QSet<QString>(ours.keyBegin(), ours.keyEnd()));
    // A key only theirs has was added by them: it is in the result already.
    for (const QString &key : std::as_const(keys)) {
        const QVariant was = base.value(key), mine = ours.value(key), other = theirs.value(key);
        if (mine == was)
            continue;
        const bool theyChanged = other != was;
        if (theyChanged && perGame && SettingsMerge::perGameKeys().contains(key) && isDictionaryOrAbsent(was)
            && isDictionaryOrAbsent(mine) && isDictionaryOrAbsent(other)) {
            // Two games changed on two sides are two changes, not one conflict.
            const QVariantMap games = mergeLevel(was.toMap(), mine.toMap(), other.toMap(),
                                                 [&](const QString &) { return oursIsLater(key); }, false);
            result.insert(key, games);
            continue;
        }
        if (theyChanged && !oursIsLater(key))
            continue;
        if (mine.isValid())
            result.insert(key, mine);
        else
            result.remove(key);
    }
    return result;
}

} // namespace

const QStringList &SettingsMerge::perGameKeys()
{
    static const QStringList keys{QStringLiteral("GameSettings")};
    return keys;
}

QVariantMap SettingsMerge::merge(const QVariantMap &base, const QVariantMap &ours, const QVariantMap &theirs,
                                 const std::function<bool(const QString &)> &oursIsLater)
{
    return mergeLevel(base, ours, theirs, oursIsLater, true);
}

QStringList SettingsMerge::changedKeys(const QVariantMap &before, const QVariantMap &after)
{
    QSet<QString> keys(before.keyBegin(), before.keyEnd());
    keys.unite(QSet<QString>(after.keyBegin(), after.keyEnd()));
    QStringList changed;
    for (const QString &key : std::as_const(keys)) {
        if (before.value(key) != after.value(key))
            changed.append(key);
    }
    changed.sort();
    return changed;
}
