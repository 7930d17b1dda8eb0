#include "platform/UserDefaults.h"

#include "platform/PropertyList.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutexLocker>
#include <QSaveFile>
#include <QStandardPaths>

#include <cstdio>

namespace {

std::unique_ptr<UserDefaults> &sharedInstance()
{
    static std::unique_ptr<UserDefaults> instance;
    return instance;
}

} // namespace

UserDefaults::UserDefaults(const QString &filePath)
    : m_filePath(filePath)
{
    load();
}

QString UserDefaults::defaultFilePath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
        + QStringLiteral("/tolvane-launcher/settings.plist");
}

UserDefaults &UserDefaults::standardUserDefaults()
{
    std::unique_ptr<UserDefaults> &instance = sharedInstance();
    if (!instance)
        instance = std::make_unique<UserDefaults>(defaultFilePath());
    return *instance;
}

void UserDefaults::setStandardUserDefaults(std::unique_ptr<UserDefaults> defaults)
{
    sharedInstance() = std::move(defaults);
}

void UserDefaults::load()
{
    QFile file(m_filePath);
    if (!file.exists())
        return;
    if (file.open(QIODevice::ReadOnly)) {
        const QByteArray data = file.readAll();
        file.close();
        const std::optional<QVariant> value = PropertyList::fromData(data);
        if (value && value->typeId() == QMetaType::QVariantMap) {
            m_userValues = value->toMap();
            return;
        }
    }
    // Never overwrite what we could not read: keep it beside the original for the user
    // to recover, and start on the fallbacks.
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString aside = m_filePath + QStringLiteral(".unreadable-") + stamp;
    for (int n = 1; QFileInfo::exists(aside); ++n)
        aside = m_filePath + QStringLiteral(".unreadable-") + stamp + QLatin1Char('-') + QString::number(n);
    if (QFile::rename(m_filePath, aside)) {
        m_movedAsidePath = aside;
        std::fprintf(stderr, "Settings file %s could not be read; kept as %s\n",
                     qUtf8Printable(m_filePath), qUtf8Printable(aside));
    } else {
        m_persistent = false;
        std::fprintf(stderr, "Settings file %s could not be read or moved aside\n", qUtf8Printable(m_filePath));
    }
}

void UserDefaults::save() const
{
    if (!m_persistent)
        return;
    const QByteArray xml = PropertyList::toXml(m_userValues);
    if (xml.isEmpty())
        return;
    QDir().mkpath(QFileInfo(m_filePath).absolutePath());
    QSaveFile file(m_filePath);
    if (!file.open(QIODevice::WriteOnly))
        return;
    file.write(xml);
    file.commit();
}

void UserDefaults::registerDefaults(const QVariantMap &defaults)
{
    QMutexLocker locker(&m_mutex);
    for (auto it = defaults.cbegin(); it != defaults.cend(); ++it)
        m_registered.insert(it.key(), it.value());
}

QVariant UserDefaults::lookup(const QString &key) const
{
    const auto user = m_userValues.constFind(key);
    if (user != m_userValues.cend())
        return user.value();
    return m_registered.value(key);
}

QVariant UserDefaults::valueForKey(const QString &key) const
{
    QMutexLocker locker(&m_mutex);
    return lookup(key);
}

bool UserDefaults::boolForKey(const QString &key) const
{
    QMutexLocker locker(&m_mutex);
    const QVariant value = lookup(key);
    if (!value.isValid())
        return false;
    if (value.typeId() == QMetaType::QString) {
        const QString text = value.toString().trimmed().toLower();
        return text == QLatin1String("yes") || text == QLatin1String("true") || text.toLongLong() != 0;
    }
    return value.toBool();
}

std::optional<QVariantList> UserDefaults::arrayForKey(const QString &key) const
{
    QMutexLocker locker(&m_mutex);
    const QVariant value = lookup(key);
    if (value.typeId() != QMetaType::QVariantList && value.typeId() != QMetaType::QStringList)
        return std::nullopt;
    return value.toList();
}

std::optional<QVariantMap> UserDefaults::dictionaryForKey(const QString &key) const
{
    QMutexLocker locker(&m_mutex);
    const QVariant value = lookup(key);
    if (value.typeId() != QMetaType::QVariantMap)
        return std::nullopt;
    return value.toMap();
}

void UserDefaults::setValueForKey(const QString &key, const QVariant &value)
{
    QMutexLocker locker(&m_mutex);
    if (value.isValid())
        m_userValues.insert(key, value);
    else
        m_userValues.remove(key);
    save();
}
