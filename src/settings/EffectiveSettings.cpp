#include "settings/EffectiveSettings.h"

#include "platform/LocalPath.h"
#include "platform/SystemLog.h"
#include "platform/UserDefaults.h"
#include "rom/ROM.h"
#include "rom/RomArchive.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QMutex>
#include <QMutexLocker>
#include <QSet>

#include <algorithm>
#include <cstdio>

const QString EffectiveSettings::kGameSettingsKey = QStringLiteral("GameSettings");

namespace {

const QString kNameKey = QStringLiteral("Name");
const QString kVideoPluginKey = QStringLiteral("VideoPlugin");
const QString kControllersKey = QStringLiteral("Controllers");
const QString kDateKey = QStringLiteral("ControllersLastModifedDate");

bool isText(const QVariant &value)
{
    return value.typeId() == QMetaType::QString && !value.toString().isEmpty();
}

// Whether a game's own value has the form the global setting of that key has.
bool isWellFormed(const QString &key, const QVariant &value)
{
    if (key == QLatin1String("Fullscreen"))
        return value.typeId() == QMetaType::Bool;
    if (key == QLatin1String("Build"))
        return value.typeId() == QMetaType::QString
            && (value.toString() == QLatin1String("Default") || value.toString() == QLatin1String("Custom"));
    if (key == kControllersKey) {
        if (value.typeId() != QMetaType::QVariantMap)
            return false;
        const QVariantMap records = value.toMap();
        return std::all_of(records.cbegin(), records.cend(),
                           [](const QVariant &record) { return record.typeId() == QMetaType::QVariantMap; });
    }
    if (key == kDateKey)
        return value.typeId() == QMetaType::QDateTime;
    return isText(value);
}

// Says once per process what is ignored, so a hand-edited file is explained without
// repeating at every look-up.
void report(const QString &md5, const QString &key, const QString &problem)
{
    static QMutex mutex;
    static QSet<QString> reported;
    QMutexLocker locker(&mutex);
    const QString id = md5 + QLatin1Char('/') + key;
    if (reported.contains(id))
        return;
    reported.insert(id);
    // A warning, not a log line: not for a command whose standard error is its answer.
    if (SystemLog::echoesToStandardError())
        std::fprintf(stderr, "Game settings of %s: %s; the global setting is used\n", qUtf8Printable(md5),
                     qUtf8Printable(problem));
}

} // namespace

EffectiveSettings::EffectiveSettings(const QString &md5, const QString &name)
    : m_md5(md5.toLower())
    , m_name(name)
{
}

EffectiveSettings EffectiveSettings::forROM(const ROM *rom)
{
    if (!rom || !rom->MD5() || rom->MD5()->isEmpty())
        return EffectiveSettings();
    QString name = rom->name().value_or(QString()).trimmed();
    // A blank header names the game by its file, as the library does.
    if (name.isEmpty() && rom->filePath()) {
        name = LocalPath::fromUrl(rom->filePath()->adjusted(QUrl::RemoveFragment)).fileName();
        if (const std::optional<QString> entry = rom->archiveEntry())
            name = RomArchive::entryDisplayName(name, *entry);
    }
    return EffectiveSettings(*rom->MD5(), name);
}

QVariantMap EffectiveSettings::entry() const
{
    if (isGlobal())
        return {};
    return UserDefaults::standardUserDefaults()
        .dictionaryForKey(kGameSettingsKey)
        .value_or(QVariantMap())
        .value(m_md5)
        .toMap();
}

std::optional<QVariant> EffectiveSettings::ownValue(const QString &key) const
{
    const QVariantMap own = entry();
    const auto it = own.constFind(key);
    if (it == own.cend())
        return std::nullopt;
    if (!isWellFormed(key, *it)) {
        report(m_md5, key, QStringLiteral("\"%1\" is not valid").arg(key));
        return std::nullopt;
    }
    if (key == kVideoPluginKey && !m_videoPlugins.isEmpty() && !m_videoPlugins.contains(it->toString())) {
        report(m_md5, key, QStringLiteral("the video plug-in \"%1\" no longer exists").arg(it->toString()));
        return std::nullopt;
    }
    return *it;
}

QVariant EffectiveSettings::valueForKey(const QString &key) const
{
    if (const std::optional<QVariant> own = ownValue(key))
        return *own;
    return UserDefaults::standardUserDefaults().valueForKey(key);
}

bool EffectiveSettings::boolForKey(const QString &key) const
{
    if (const std::optional<QVariant> own = ownValue(key))
        return own->toBool();
    return UserDefaults::standardUserDefaults().boolForKey(key);
}

std::optional<QVariantMap> EffectiveSettings::dictionaryForKey(const QString &key) const
{
    if (const std::optional<QVariant> own = ownValue(key); own && own->typeId() == QMetaType::QVariantMap)
        return own->toMap();
    return UserDefaults::standardUserDefaults().dictionaryForKey(key);
}

void EffectiveSettings::setValueForKey(const QString &key, const QVariant &value) const
{
    UserDefaults &defaults = UserDefaults::standardUserDefaults();
    if (isGlobal()) {
        defaults.setValueForKey(key, value);
        return;
    }
    QVariantMap games = defaults.dictionaryForKey(kGameSettingsKey).value_or(QVariantMap());
    QVariantMap own = games.value(m_md5).toMap();
    if (value.isValid())
        own.insert(key, value);
    else
        own.remove(key);
    const QStringList overridable = keysOfGroup(Video) + keysOfGroup(Emulator) + keysOfGroup(Controllers);
    const bool overridesAny =
        std::any_of(overridable.cbegin(), overridable.cend(), [&own](const QString &k) { return own.contains(k); });
    if (overridesAny) {
        own.insert(kNameKey, m_name);
        games.insert(m_md5, own);
    } else {
        games.remove(m_md5);
    }
    defaults.setValueForKey(kGameSettingsKey, games.isEmpty() ? QVariant() : QVariant(games));
}

QStringList EffectiveSettings::keysOfGroup(Group group)
{
    switch (group) {
    case Video:
        return {kVideoPluginKey, QStringLiteral("Resolution"), QStringLiteral("Fullscreen")};
    case Emulator:
        return {QStringLiteral("Build"), QStringLiteral("CustomBuildPath")};
    case Controllers:
        return {kControllersKey};
    case NoGroup:
        break;
    }
    return {};
}

namespace {

EffectiveSettings::Groups groupsOf(const QVariantMap &entry)
{
    EffectiveSettings::Groups groups;
    for (const EffectiveSettings::Group group : {EffectiveSettings::Video, EffectiveSettings::Emulator, EffectiveSettings::Controllers}) {
        const QStringList keys = EffectiveSettings::keysOfGroup(group);
        if (std::any_of(keys.cbegin(), keys.cend(), [&entry](const QString &key) { return entry.contains(key); }))
            groups |= group;
    }
    return groups;
}

} // namespace

EffectiveSettings::Groups EffectiveSettings::overriddenGroups() const
{
    return groupsOf(entry());
}

EffectiveSettings::Groups EffectiveSettings::usedGroups() const
{
    Groups groups;
    for (const Group group : {Video, Emulator, Controllers}) {
        const QStringList keys = keysOfGroup(group);
        if (std::any_of(keys.cbegin(), keys.cend(), [this](const QString &key) { return ownValue(key).has_value(); }))
            groups |= group;
    }
    return groups;
}

void EffectiveSettings::setGroupOverridden(Group group, bool overridden) const
{
    if (isGlobal())
        return;
    QStringList keys = keysOfGroup(group);
    if (group == Controllers)
        keys << kDateKey;
    for (const QString &key : keys) {
        // "CustomBuildPath" may have no global value; a game then has none either.
        const QVariant value = overridden ? valueForKey(key) : QVariant();
        if (key == kDateKey)
            setValueForKey(key, overridden ? QVariant(QDateTime::currentDateTime()) : QVariant());
        else
            setValueForKey(key, value);
    }
}

QHash<QString, EffectiveSettings::Groups> EffectiveSettings::overriddenGroupsOfAllGames()
{
    QHash<QString, Groups> result;
    const QVariantMap games =
        UserDefaults::standardUserDefaults().dictionaryForKey(kGameSettingsKey).value_or(QVariantMap());
    for (auto it = games.cbegin(); it != games.cend(); ++it) {
        const Groups groups = groupsOf(it.value().toMap());
        if (groups)
            result.insert(it.key(), groups);
    }
    return result;
}

QString EffectiveSettings::groupsInWords(Groups groups)
{
    QStringList words;
    if (groups & Video)
        words << QCoreApplication::translate("EffectiveSettings", "video");
    if (groups & Emulator)
        words << QCoreApplication::translate("EffectiveSettings", "emulator build");
    if (groups & Controllers)
        words << QCoreApplication::translate("EffectiveSettings", "controllers");
    return words.join(QCoreApplication::translate("EffectiveSettings", ", "));
}

QString EffectiveSettings::startedWithText(Groups groups)
{
    // Whole sentences, so that a translation can phrase each combination its own way.
    static const char *const sentences[] = {
        "",
        QT_TRANSLATE_NOOP("EffectiveSettings", "Started with its own video settings."),
        QT_TRANSLATE_NOOP("EffectiveSettings", "Started with its own emulator build."),
        QT_TRANSLATE_NOOP("EffectiveSettings", "Started with its own video settings and emulator build."),
        QT_TRANSLATE_NOOP("EffectiveSettings", "Started with its own controller settings."),
        QT_TRANSLATE_NOOP("EffectiveSettings", "Started with its own video and controller settings."),
        QT_TRANSLATE_NOOP("EffectiveSettings", "Started with its own emulator build and controller settings."),
        QT_TRANSLATE_NOOP("EffectiveSettings", "Started with its own video, emulator and controller settings."),
    };
    const int index = int(groups.toInt()) & 7;
    return index ? QCoreApplication::translate("EffectiveSettings", sentences[index]) : QString();
}
