#include "platform/SettingsMerge.h"

#include <QSet>

namespace {

bool isDictionaryOrAbsent(const QVariant &value)
{
    return !value.isValid() || value.typeId() == QMetaType::QVariantMap;
}

// \a nested: how many levels of dictionaries below this one merge key by key rather than
// whole (at the top only the per-game keys do).
QVariantMap mergeLevel(const QVariantMap &base, const QVariantMap &ours, const QVariantMap &theirs,
                       const std::function<bool(const QString &)> &oursIsLater, int nested, bool top)
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
        const bool mergesInside = nested > 0 && (!top || SettingsMerge::perGameKeys().contains(key));
        // A game removed on one side and changed on the other is one conflict, decided whole.
        const bool bothThere = top || (mine.isValid() && other.isValid());
        if (theyChanged && mergesInside && bothThere && isDictionaryOrAbsent(was) && isDictionaryOrAbsent(mine)
            && isDictionaryOrAbsent(other)) {
            // Two games changed on two sides are two changes, not one conflict; so are two
            // keys of one game.
            const QVariantMap inside = mergeLevel(was.toMap(), mine.toMap(), other.toMap(),
                                                  [&](const QString &) { return oursIsLater(key); }, nested - 1, false);
            result.insert(key, inside);
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
    return mergeLevel(base, ours, theirs, oursIsLater, 2, true);
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
