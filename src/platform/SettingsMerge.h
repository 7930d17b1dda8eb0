#pragma once

#include <QString>
#include <QStringList>
#include <QVariantMap>

#include <functional>

/// How two versions of the settings that both grew from one earlier version come together,
/// such as the Launcher's values in memory and a settings file edited by hand meanwhile.
class SettingsMerge
{
public:
    /// Keys whose value is a dictionary of per-game dictionaries (keyed by the game's
    /// digest); they merge game by game, and each game key by key, rather than whole.
    static const QStringList &perGameKeys();

    /// A three-way merge of \a ours and \a theirs, both grown from \a base. A key that only
    /// one side changed (removing it too) takes that side's value; a key both changed takes
    /// ours when \a oursIsLater says so for it, else theirs. A per-game key is merged game by
    /// game and each game key by key by the same rule, so changes to different games, and to
    /// different keys of one game, are all kept.
    static QVariantMap merge(const QVariantMap &base, const QVariantMap &ours, const QVariantMap &theirs,
                             const std::function<bool(const QString &key)> &oursIsLater);

    /// The keys whose values differ between \a before and \a after (added and removed too).
    static QStringList changedKeys(const QVariantMap &before, const QVariantMap &after);
};
