#include "library/LibraryModel.h"

#include "dat/DatIndex.h"

#include <QColor>
#include <QDate>
#include <QFile>
#include <QFileInfo>
#include <QLocale>

#include <utility>

LibraryModel::LibraryModel(QObject *parent) : QAbstractTableModel(parent) {}

int LibraryModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_records.size());
}

int LibraryModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant LibraryModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_records.size())
        return QVariant();
    const LibraryRecord &record = m_records.at(index.row());
    const bool refused = record.refusal.has_value();
    // Kept while its drive is away, greyed, with what it had when it could be read.
    const QString unreachable = record.unreachableFolder.isEmpty()
        ? QString()
        : tr("Not available: the folder “%1” cannot be reached.").arg(QFile::decodeName(record.unreachableFolder));
    if (index.column() == Favourite && (role == Qt::AccessibleTextRole || role == Qt::ToolTipRole) && record.valid)
        return m_history.value(record.md5()).favourite ? tr("Favourite") : tr("Not a favourite");
    const DatStatus dump = m_dumps.value(record.key());
    // A verified game goes by the DAT's name ("Super Game (Europe) (Rev 1)"), the header's stays in the ROM view.
    const QString name = dump.isVerified() ? dump.gameName : record.name().trimmed();
    const int copies = record.valid ? m_copies.value(record.md5()) : 0;
    if (role == DumpRole)
        return int(dump.kind);
    if (role == CopiesRole)
        return copies;
    if (role == SearchRole) {
        // A refused file's reason would match every refused row alike; its name tells it apart.
        QStringList texts{record.fileName()};
        if (record.valid)
            texts << name << record.gameCode() << regionName(record.regionCode) << record.name().trimmed();
        return texts.join(QChar(0)) + QChar(0);
    }
    if (role == Qt::ToolTipRole) {
        if (!unreachable.isEmpty() || refused)
            return !unreachable.isEmpty() ? unreachable : record.refusalReason();
        return dump.kind == DatStatus::Kind::None ? record.filePath() : record.filePath() + QLatin1Char('\n') + dump.sentence();
    }
    if (role == Qt::ForegroundRole)
        return refused || !unreachable.isEmpty() ? QVariant(QColor(Qt::gray)) : QVariant();
    const QString own = record.valid ? m_ownSettings.value(record.md5()) : QString();
    if (role == Qt::AccessibleTextRole && index.column() == Name && !own.isEmpty())
        return tr("%1, uses its own settings: %2").arg(name, own);
    if (role != Qt::DisplayRole && role != SortRole)
        return QVariant();
    const bool sorting = role == SortRole;
    switch (index.column()) {
    case Name:
        if (!unreachable.isEmpty() && !sorting)
            return unreachable;
        // A refused file is listed with its reason in place of a name, never dropped.
        if (refused)
            return record.refusalReason();
        // The mark says the game's settings differ from the global ones.
        return own.isEmpty() || sorting ? name : name + QStringLiteral(" \u2699");
    case FileName:
        return record.fileName();
    case GameCode:
        return record.gameCode();
    case Region:
        return record.valid ? regionName(record.regionCode) : QString();
    case Cic:
        return record.valid ? QVariant(record.cic) : QVariant();
    case Size:
        if (sorting)
            return record.fileSize;
        return record.fileSize >= 0 ? ROM::sizeText(record.fileSize) : QString();
    case ByteOrder:
        return record.byteOrder();
    case MD5:
        return record.md5();
    case OwnSettings:
        return own;
    case Dump:
        // A game kept twice is worth tidying, DAT files or not.
        if (copies < 2)
            return dump.text();
        return dump.kind == DatStatus::Kind::None ? tr("%n copies", nullptr, copies)
                                                  : tr("%1, %n copies", nullptr, copies).arg(dump.text());
    case Favourite: {
        if (!record.valid)
            return QVariant();
        const bool favourite = m_history.value(record.md5()).favourite;
        if (sorting)
            return favourite;
        return favourite ? QStringLiteral("\u2605") : QStringLiteral("\u2606");
    }
    case LastPlayed: {
        const qint64 when = record.valid ? m_history.value(record.md5()).lastPlayed : 0;
        if (sorting)
            return when;
        return GameHistory::lastPlayedText(when, QDate::currentDate());
    }
    case PlayTime: {
        const qint64 played = record.valid ? m_history.value(record.md5()).playMs : 0;
        if (sorting)
            return played;
        return GameHistory::playTimeText(played);
    }
    default:
        return QVariant();
    }
}

QVariant LibraryModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    // The star column is as narrow as its star; its name is for menus and screen readers.
    if (orientation == Qt::Horizontal && section == Favourite && role == Qt::DisplayRole)
        return QStringLiteral("\u2605");
    if (orientation == Qt::Horizontal && section == Favourite && (role == Qt::ToolTipRole || role == Qt::AccessibleTextRole))
        return tr("Favourite");
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (section) {
    case Name: return tr("Name");
    case FileName: return tr("File Name");
    case GameCode: return tr("Game Code");
    case Region: return tr("Region");
    case Cic: return tr("CIC");
    case Size: return tr("Size");
    case ByteOrder: return tr("Byte Order");
    case MD5: return tr("MD5");
    case OwnSettings: return tr("Own settings");
    case LastPlayed: return tr("Last played");
    case PlayTime: return tr("Play time");
    case Dump: return tr("Dump");
    default: return QVariant();
    }
}

void LibraryModel::addRecords(const QList<LibraryRecord> &records)
{
    QList<LibraryRecord> added;
    for (const LibraryRecord &record : records) {
        const auto row = m_rows.constFind(record.key());
        if (row == m_rows.cend()) {
            added.append(record);
            continue;
        }
        noteDump(m_records.at(*row), -1);
        noteDump(record, 1);
        m_records[*row] = record;
        Q_EMIT dataChanged(index(*row, 0), index(*row, ColumnCount - 1));
    }
    if (added.isEmpty()) {
        copiesChanged();
        return;
    }
    beginInsertRows(QModelIndex(), int(m_records.size()), int(m_records.size() + added.size() - 1));
    for (const LibraryRecord &record : added) {
        noteDump(record, 1);
        m_rows.insert(record.key(), int(m_records.size()));
        m_records.append(record);
    }
    endInsertRows();
    copiesChanged();
}

void LibraryModel::removeKeys(const QList<QByteArray> &keys)
{
    QList<int> rows;
    for (const QByteArray &key : keys) {
        const auto row = m_rows.constFind(key);
        if (row != m_rows.cend())
            rows.append(*row);
    }
    if (rows.isEmpty())
        return;
    std::sort(rows.begin(), rows.end(), std::greater<int>());
    // A few files keep the selection and scroll position; a whole folder is one reset.
    const bool few = rows.size() <= 32;
    if (!few)
        beginResetModel();
    for (const int row : rows) {
        if (few)
            beginRemoveRows(QModelIndex(), row, row);
        noteDump(m_records.at(row), -1);
        m_records.removeAt(row);
        if (few)
            endRemoveRows();
    }
    m_rows.clear();
    for (int row = 0; row < m_records.size(); ++row)
        m_rows.insert(m_records.at(row).key(), row);
    if (!few)
        endResetModel();
    copiesChanged();
}

void LibraryModel::copiesChanged()
{
    if (std::exchange(m_copiesMoved, false) && !m_records.isEmpty())
        Q_EMIT dataChanged(index(0, Dump), index(int(m_records.size()) - 1, Dump));
}

void LibraryModel::clear()
{
    beginResetModel();
    m_records.clear();
    m_rows.clear();
    m_dumps.clear();
    m_copies.clear();
    endResetModel();
}

void LibraryModel::setDatIndex(const std::shared_ptr<const DatIndex> &index)
{
    m_dats = index && !index->isEmpty() ? index : nullptr;
    m_dumps.clear();
    for (const LibraryRecord &record : std::as_const(m_records))
        noteDump(record, 0);
    if (!m_records.isEmpty())
        Q_EMIT dataChanged(this->index(0, 0), this->index(int(m_records.size()) - 1, ColumnCount - 1));
}

void LibraryModel::noteDump(const LibraryRecord &record, int change)
{
    if (!record.valid)
        return;
    const QString md5 = record.md5();
    if (change != 0) {
        int &copies = m_copies[md5];
        copies += change;
        // Only a second file, or the loss of one, changes what another row shows.
        m_copiesMoved = m_copiesMoved || (change > 0 ? copies == 2 : copies == 1);
        if (copies <= 0)
            m_copies.remove(md5);
    }
    if (change < 0 || !m_dats) {
        m_dumps.remove(record.key());
        return;
    }
    // An archive entry is known by its own name, not the archive's.
    const QString fileName = record.entry.isEmpty() ? record.fileName() : record.entry;
    m_dumps.insert(record.key(), m_dats->statusOf(md5, record.fileSize, fileName, record.gameCode()));
}

void LibraryModel::setOwnSettings(const QHash<QString, QString> &wordsByMD5)
{
    m_ownSettings = wordsByMD5;
    if (!m_records.isEmpty())
        Q_EMIT dataChanged(index(0, 0), index(int(m_records.size()) - 1, ColumnCount - 1));
}

void LibraryModel::setHistory(const GameHistoryMap &history)
{
    m_history = history;
    if (!m_records.isEmpty())
        Q_EMIT dataChanged(index(0, Favourite), index(int(m_records.size()) - 1, PlayTime));
}

void LibraryModel::setGameHistory(const QString &md5, const GameHistory &history)
{
    m_history.insert(md5, history);
    for (int row = 0; row < m_records.size(); ++row) {
        if (m_records.at(row).md5() == md5)
            Q_EMIT dataChanged(index(row, Favourite), index(row, PlayTime));
    }
}
