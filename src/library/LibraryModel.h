#pragma once

#include "dat/DatStatus.h"
#include "library/GameHistory.h"
#include "library/LibraryRecord.h"

#include <QAbstractTableModel>
#include <QHash>
#include <QList>

#include <memory>

class DatIndex;

/// The library's rows: one per file or archive entry (LibraryRecord::key()), in the order
/// they arrived (the view sorts).
class LibraryModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column { Name, FileName, GameCode, Region, Cic, Size, ByteOrder, MD5, Favourite, LastPlayed, PlayTime, OwnSettings, Dump, ColumnCount };
    /// The raw value a column sorts by.
    static constexpr int SortRole = Qt::UserRole;
    /// What a search looks in, on the row's Name: name, file name, game code and region name,
    /// each ended by a zero character; for a refused file only its name.
    static constexpr int SearchRole = Qt::UserRole + 1;
    /// The row's DatStatus::Kind, and how many files of the library hold its image (on any column).
    static constexpr int DumpRole = Qt::UserRole + 2;
    static constexpr int CopiesRole = Qt::UserRole + 3;
    /// Whether a change in \a column changes what SearchRole gives.
    static bool isSearched(int column) { return column == Name || column == FileName || column == GameCode || column == Region; }

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

    /// Which games keep settings of their own, as words by digest ("video, controllers"):
    /// shown in the Own Settings column and as a mark beside the name.
    void setOwnSettings(const QHash<QString, QString> &wordsByMD5);
    /// The history of every game, as loaded; shown in the Favourite, Last Played and Play Time columns.
    void setHistory(const GameHistoryMap &history);
    GameHistory history(const QString &md5) const { return m_history.value(md5); }
    /// Replaces one game's history and updates every row of that game.
    void setGameHistory(const QString &md5, const GameHistory &history);

    /// The index of the player's DAT files (null or empty: none chosen); every row's status
    /// and the names of verified games change at once.
    void setDatIndex(const std::shared_ptr<const DatIndex> &index);
    DatStatus dumpStatus(int row) const { return m_dumps.value(m_records.at(row).key()); }

    /// "North America" for 'E' and so on; an unknown letter as itself.
    static QString regionName(quint8 code) { return LibraryRecord::regionName(code); }

private:
    void noteDump(const LibraryRecord &record, int change);
    void copiesChanged();

    QList<LibraryRecord> m_records;
    QHash<QByteArray, int> m_rows;
    QHash<QString, QString> m_ownSettings;
    GameHistoryMap m_history;
    std::shared_ptr<const DatIndex> m_dats;
    // Only rows with a status are kept; the files holding each image, by MD5.
    QHash<QByteArray, DatStatus> m_dumps;
    QHash<QString, int> m_copies;
    // A game came to have a second file, or lost it: every row's Dump column is told.
    bool m_copiesMoved = false;
};
