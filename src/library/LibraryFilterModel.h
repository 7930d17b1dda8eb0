#pragma once

#include <QAbstractProxyModel>
#include <QPointer>
#include <QString>

#include <vector>

class QItemSelectionModel;

/// The library's rows as the views show them: sorted by any column, and filtered as the
/// player types (name, file name, game code and region, any letter case) or asks for favourites.
///
/// A new filter or order rebuilds the shown rows in one reset rather than row by row, and
/// then restores the current and selected rows of the views' shared selection model: with
/// ten thousand games that is what keeps typing in the search field quick.
class LibraryFilterModel : public QAbstractProxyModel
{
    Q_OBJECT

public:
    explicit LibraryFilterModel(QObject *parent = nullptr);

    void setSourceModel(QAbstractItemModel *sourceModel) override;
    /// The selection the views share; kept across every rebuild.
    void setSelectionModel(QItemSelectionModel *selectionModel);

    void setSearchText(const QString &text);
    void setFavouritesOnly(bool favouritesOnly);
    bool favouritesOnly() const { return m_favouritesOnly; }
    /// Which rows by what the player's DAT files say of them, or only games kept twice.
    enum class DumpFilter { All, Verified, NotVerified, Duplicates };
    void setDumpFilter(DumpFilter filter);
    DumpFilter dumpFilter() const { return m_dumpFilter; }

    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;
    int sortColumn() const { return m_sortColumn; }
    Qt::SortOrder sortOrder() const { return m_sortOrder; }

    QModelIndex mapToSource(const QModelIndex &proxyIndex) const override;
    QModelIndex mapFromSource(const QModelIndex &sourceIndex) const override;
    QModelIndex index(int row, int column, const QModelIndex &parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex &child) const override;
    QModelIndex sibling(int row, int column, const QModelIndex &index) const override;
    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    bool hasChildren(const QModelIndex &parent = QModelIndex()) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

Q_SIGNALS:
    /// The shown rows were rebuilt (new filter, order or source rows).
    void rowsRebuilt();

protected:
    bool filterAcceptsRow(int sourceRow) const;

private:
    // What a rebuild changes: the order of every source row, or only which are shown.
    enum class Stale { Nothing, Filter, Order };
    void rebuild(Stale stale);
    void beginRebuild();
    void endRebuild(Stale stale);
    void sortSourceRows();
    void filterSourceRows();
    void sourceDataChanged(const QModelIndex &topLeft, const QModelIndex &bottomRight);
    const QString &searchText(int sourceRow) const;

    QPointer<QItemSelectionModel> m_selection;
    QString m_text;
    bool m_favouritesOnly = false;
    DumpFilter m_dumpFilter = DumpFilter::All;
    int m_sortColumn = -1;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
    // Every source row in the chosen order, the shown ones, and each source row's shown
    // row (-1 when hidden).
    std::vector<int> m_order;
    std::vector<int> m_rows;
    std::vector<int> m_shownAt;
    // Each source row's searched text, case-folded, made at the first search.
    mutable std::vector<QString> m_searchTexts;
    // Kept from the start of a rebuild to its end.
    QList<QPersistentModelIndex> m_keptSelection;
    QPersistentModelIndex m_keptCurrent;
    bool m_rebuilding = false;
    bool m_pending = false;
    Stale m_pendingStale = Stale::Nothing;
};
