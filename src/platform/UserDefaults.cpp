#include "platform/UserDefaults.h"

#include "platform/FileReplacer.h"
#include "platform/PropertyList.h"
#include "platform/SettingsMerge.h"
#include "platform/XdgFolders.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutexLocker>

#include <cstdio>
#include <utility>

#include <sys/stat.h>

namespace {

std::unique_ptr<UserDefaults> &sharedInstance()
{
    static std::unique_ptr<UserDefaults> instance;
    return instance;
}

UserDefaults::UnreadableFile &sharedUnreadableFile()
{
    static UserDefaults::UnreadableFile unreadable = UserDefaults::UnreadableFile::MoveAside;
    return unreadable;
}

} // namespace

struct UserDefaults::DiskState
{
    bool exists = false;
    dev_t device = 0;
    ino_t inode = 0;
    qint64 modifiedNs = 0;
    qint64 size = 0;
    QByteArray bytes;

    static DiskState of(const QString &path)
    {
        DiskState state;
        struct stat info;
        if (::stat(QFile::encodeName(path).constData(), &info) == 0) {
            state.exists = true;
            state.device = info.st_dev;
            state.inode = info.st_ino;
            state.modifiedNs = qint64(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
            state.size = info.st_size;
        }
        return state;
    }
    bool sameStamp(const DiskState &other) const
    {
        return exists == other.exists && device == other.device && inode == other.inode
            && modifiedNs == other.modifiedNs && size == other.size;
    }
};

UserDefaults::UserDefaults(const QString &filePath, UnreadableFile unreadable)
    : m_filePath(filePath)
    , m_disk(std::make_unique<DiskState>())
{
    load(unreadable);
}

UserDefaults::~UserDefaults() = default;

QString UserDefaults::defaultFilePath()
{
    return XdgFolders::config() + QStringLiteral("/settings.plist");
}

UserDefaults &UserDefaults::standardUserDefaults()
{
    std::unique_ptr<UserDefaults> &instance = sharedInstance();
    if (!instance)
        instance = std::make_unique<UserDefaults>(defaultFilePath(), sharedUnreadableFile());
    return *instance;
}

void UserDefaults::setStandardUnreadableFile(UnreadableFile unreadable)
{
    sharedUnreadableFile() = unreadable;
}

void UserDefaults::setStandardUserDefaults(std::unique_ptr<UserDefaults> defaults)
{
    sharedInstance() = std::move(defaults);
}

std::optional<QVariantMap> UserDefaults::readFile(DiskState &state) const
{
    // A file that is not there holds no values: the user removed them all.
    if (!state.exists)
        return QVariantMap();
    QFile file(m_filePath);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    state.bytes = file.readAll();
    if (state.bytes == m_disk->bytes && m_disk->exists && !m_unreadable)
        return m_base;
    const std::optional<QVariant> value = PropertyList::fromData(state.bytes);
    if (!value || value->typeId() != QMetaType::QVariantMap)
        return std::nullopt;
    return value->toMap();
}

void UserDefaults::load(UnreadableFile unreadable)
{
    DiskState state = DiskState::of(m_filePath);
    if (const std::optional<QVariantMap> values = readFile(state)) {
        m_userValues = m_base = *values;
        *m_disk = state;
        return;
    }
    if (unreadable == UnreadableFile::KeepInPlace) {
        m_unreadable = true;
        return;
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
        m_unreadable = true;
        std::fprintf(stderr, "Settings file %s could not be read or moved aside\n", qUtf8Printable(m_filePath));
    }
}

void UserDefaults::writeFile(Outcome &outcome)
{
    const QByteArray xml = PropertyList::toXml(m_userValues);
    if (xml.isEmpty())
        return;
    QDir().mkpath(QFileInfo(m_filePath).absolutePath());
    FileReplacer file(m_filePath);
    if (!file.replace(xml)) {
        // The file stays as it was; the changes stay in memory and the next one tries again.
        if (!std::exchange(m_toldNotWritten, true)) {
            outcome.writeError = file.error();
            outcome.writeReason = file.reason();
            std::fprintf(stderr, "Settings file %s could not be written: %s\n", qUtf8Printable(m_filePath),
                         qUtf8Printable(file.reason()));
        }
        return;
    }
    m_toldNotWritten = false;
    // The next merge compares with what the file now holds, as it will read it back.
    m_base = PropertyList::fromData(xml).value_or(QVariant()).toMap();
    *m_disk = DiskState::of(m_filePath);
    m_disk->bytes = xml;
    m_changedAt.clear();
}

UserDefaults::Outcome UserDefaults::mergeWithFile()
{
    Outcome outcome;
    DiskState now = DiskState::of(m_filePath);
    // Our own writes leave the stamp we noted; nothing to read then.
    if (m_unreadable || !now.sameStamp(*m_disk)) {
        const std::optional<QVariantMap> theirs = readFile(now);
        if (!theirs) {
            // A half-saved edit: keep what we have and write nothing until it reads again.
            if (!m_unreadable) {
                outcome.becameUnreadable = true;
                std::fprintf(stderr, "Settings file %s cannot be read; changes are kept until it can be read again\n",
                             qUtf8Printable(m_filePath));
            }
            m_unreadable = true;
            return outcome;
        }
        outcome.readableAgain = std::exchange(m_unreadable, false);
        const qint64 fileMs = now.modifiedNs / 1000000;
        const QVariantMap merged = SettingsMerge::merge(m_base, m_userValues, *theirs, [&](const QString &key) {
            const auto changedAt = m_changedAt.constFind(key);
            return changedAt != m_changedAt.cend() && changedAt->toMSecsSinceEpoch() >= fileMs;
        });
        outcome.changed = SettingsMerge::changedKeys(m_userValues, merged);
        m_userValues = merged;
        m_base = *theirs;
        *m_disk = now;
    }
    if (!m_changedAt.isEmpty())
        writeFile(outcome);
    return outcome;
}

void UserDefaults::notify(const Outcome &outcome)
{
    if (outcome.becameUnreadable)
        Q_EMIT fileBecameUnreadable(m_filePath);
    if (outcome.readableAgain)
        Q_EMIT fileReadableAgain(m_filePath);
    for (const QString &key : outcome.changed)
        Q_EMIT valueChanged(key);
    if (outcome.writeError)
        Q_EMIT fileNotWritten(m_filePath, outcome.writeError, outcome.writeReason);
}

void UserDefaults::synchronize()
{
    Outcome outcome;
    {
        QMutexLocker locker(&m_mutex);
        outcome = mergeWithFile();
    }
    notify(outcome);
}

bool UserDefaults::isFileUnreadable() const
{
    QMutexLocker locker(&m_mutex);
    return m_unreadable;
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
    Outcome outcome;
    {
        QMutexLocker locker(&m_mutex);
        const bool changed = m_userValues.value(key) != value;
        if (value.isValid())
            m_userValues.insert(key, value);
        else
            m_userValues.remove(key);
        m_changedAt.insert(key, QDateTime::currentDateTime());
        // Written on top of the file as it is now, so a hand edit made meanwhile stays.
        outcome = mergeWithFile();
        outcome.changed.removeAll(key);
        if (changed)
            outcome.changed.append(key);
    }
    notify(outcome);
}
