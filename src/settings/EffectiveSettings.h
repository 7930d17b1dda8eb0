#pragma once

#include <QFlags>
#include <QHash>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantMap>

#include <optional>

class ROM;

/// The settings one start of the emulator uses: a game's own values where it has them,
/// the global ones otherwise. The same class, without a game, stands for the global
/// settings, so an editor can be pointed at either.
///
/// A game's own values live in the settings store under "GameSettings", keyed by the MD5
/// of the normalised image (so every byte order and file name of a game shares them).
/// Each entry holds "Name" for people reading the file and only the keys the game
/// overrides, spelled as the global ones. An entry without overrides is removed.
class EffectiveSettings
{
public:
    enum Group {
        NoGroup = 0,
        Video = 1,
        Emulator = 2,
        Controllers = 4,
    };
    Q_DECLARE_FLAGS(Groups, Group)

    static const QString kGameSettingsKey;

    /// The global settings.
    EffectiveSettings() = default;
    /// The settings of the game with this digest; \a name is stored beside its values.
    EffectiveSettings(const QString &md5, const QString &name);
    /// The settings of \a rom's game, or the global ones for a record without a digest.
    static EffectiveSettings forROM(const ROM *rom);

    bool isGlobal() const { return m_md5.isEmpty(); }
    QString md5() const { return m_md5; }
    QString name() const { return m_name; }

    /// The video plug-ins that exist; a game's "VideoPlugin" naming another one is
    /// ignored. Not checked while empty.
    void setVideoPlugins(const QStringList &names) { m_videoPlugins = names; }

    /// The effective value: the game's own when it has a valid one, else the global one.
    /// A game value that is malformed or names a vanished plug-in is reported on standard
    /// error (once per process) and ignored, but kept in the file.
    QVariant valueForKey(const QString &key) const;
    bool boolForKey(const QString &key) const;
    std::optional<QVariantMap> dictionaryForKey(const QString &key) const;
    /// Stores \a value as the game's own (or the global value, for the global settings);
    /// an invalid QVariant removes it.
    void setValueForKey(const QString &key, const QVariant &value) const;

    /// The groups the game has values of its own for, as stored.
    Groups overriddenGroups() const;
    /// The groups in which at least one of the game's own values is usable, and so used.
    Groups usedGroups() const;
    static QStringList keysOfGroup(Group group);
    /// Makes the effective values of the group's keys the game's own, or removes them all
    /// (with the game's "ControllersLastModifedDate" for the controllers).
    void setGroupOverridden(Group group, bool overridden) const;

    /// The overridden groups of every game that has an entry, by digest.
    static QHash<QString, Groups> overriddenGroupsOfAllGames();
    /// How the groups read in a list: "video, controllers"; empty for none.
    static QString groupsInWords(Groups groups);
    /// The sentence that says which of a game's own settings a start used; empty for none.
    static QString startedWithText(Groups groups);

private:
    QVariantMap entry() const;
    // The game's own value when it is usable; reports it otherwise.
    std::optional<QVariant> ownValue(const QString &key) const;

    QString m_md5;
    QString m_name;
    QStringList m_videoPlugins;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(EffectiveSettings::Groups)
