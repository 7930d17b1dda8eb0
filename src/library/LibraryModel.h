#pragma once

#include "library/LibraryRecord.h"

#include <QAbstractTableModel>
#include <QHash>
#include <QList>

/// The library's rows: one per file or archive entry (LibraryRecord::key()), in the order
/// they arrived (the view sorts).
class LibraryModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column { Name, FileName, GameCode, Region, Cic, Size, ByteOrder, MD5, ColumnCount };
    /// The raw value a column sorts by.
    static constexpr int SortRole = Qt::UserRole;

    explicit LibraryModel(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    const LibraryRecord &record(int row) const { return m_records.at(row); }
    /// Adds new keys, replaces known ones.
    void addRecords(const QList<LibraryRecord> &records);
    void removeKeys(const QList<QByteArray> &keys);
    void clear();

    /// "North America" for 'E' and so on; an unknown letter as itself.
    static QString regionName(quint8 code);

private:
    QList<LibraryRecord> m_records;
    QHash<QByteArray, int> m_rows;
};
