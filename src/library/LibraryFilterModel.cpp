#include "library/LibraryFilterModel.h"

#include "library/LibraryModel.h"

#include <QCollator>
#include <QItemSelectionModel>
#include <QTimer>

#include <algorithm>
#include <limits>
#include <numeric>
#include <variant>

LibraryFilterModel::LibraryFilterModel(QObject *parent) : QAbstractProxyModel(parent) {}

void LibraryFilterModel::setSourceModel(QAbstractItemModel *source)
{
    if (sourceModel())
        disconnect(sourceModel(), nullptr, this, nullptr);
    beginResetModel();
    QAbstractProxyModel::setSourceModel(source);
    if (source) {
        connect(source, &QAbstractItemModel::modelAboutToBeReset, this, &LibraryFilterModel::beginRebuild);
        connect(source, &QAbstractItemModel::modelReset, this, [this]() { endRebuild(Stale::Order); });
        // Source rows keep their numbers when rows are added at the end, so the shown rows
        // stay valid until the rebuild.
        connect(source, &QAbstractItemModel::rowsInserted, this, [this]() { rebuild(Stale::Order); });
        connect(source, &QAbstractItemModel::rowsAboutToBeRemoved, this, &LibraryFilterModel::beginRebuild);
        connect(source, &QAbstractItemModel::rowsRemoved, this, [this]() { endRebuild(Stale::Order); });
        connect(source, &QAbstractItemModel::layoutAboutToBeChanged, this, &LibraryFilterModel::beginRebuild);
        connect(source, &QAbstractItemModel::layoutChanged, this, [this]() { endRebuild(Stale::Order); });
        connect(source, &QAbstractItemModel::dataChanged, this, &LibraryFilterModel::sourceDataChanged);
        connect(source, &QAbstractItemModel::headerDataChanged, this, &QAbstractItemModel::headerDataChanged);
    }
    m_searchTexts.clear();
    sortSourceRows();
    filterSourceRows();
    endResetModel();
}

void LibraryFilterModel::setSelectionModel(QItemSelectionModel *selectionModel)
{
    m_selection = selectionModel;
}

void LibraryFilterModel::setSearchText(const QString &text)
{
    const QString folded = text.trimmed().toCaseFolded();
    if (folded == m_text)
        return;
    // Narrowing the search looks only among the rows shown now.
    m_text = folded;
    rebuild(Stale::Filter);
}

void LibraryFilterModel::setFavouritesOnly(bool favouritesOnly)
{
    if (favouritesOnly == m_favouritesOnly)
        return;
    m_favouritesOnly = favouritesOnly;
    rebuild(Stale::Filter);
}

void LibraryFilterModel::setDumpFilter(DumpFilter filter)
{
    if (filter == m_dumpFilter)
        return;
    m_dumpFilter = filter;
    rebuild(Stale::Filter);
}

void LibraryFilterModel::sort(int column, Qt::SortOrder order)
{
    m_sortColumn = column;
    m_sortOrder = order;
    rebuild(Stale::Order);
}

void LibraryFilterModel::rebuild(Stale stale)
{
    beginRebuild();
    endRebuild(stale);
}

void LibraryFilterModel::beginRebuild()
{
    if (m_rebuilding)
        return;
    m_rebuilding = true;
    m_keptSelection.clear();
    m_keptCurrent = QPersistentModelIndex();
    if (m_selection) {
        for (const QModelIndex &index : m_selection->selectedRows())
            m_keptSelection.append(mapToSource(index));
        m_keptCurrent = mapToSource(m_selection->currentIndex());
    }
    beginResetModel();
}

void LibraryFilterModel::endRebuild(Stale stale)
{
    if (!m_rebuilding)
        return;
    if (stale == Stale::Order) {
        m_searchTexts.clear();
        sortSourceRows();
    }
    filterSourceRows();
    endResetModel();
    m_rebuilding = false;
    if (m_selection) {
        QItemSelection selection;
        for (const QPersistentModelIndex &kept : std::as_const(m_keptSelection)) {
            const QModelIndex index = mapFromSource(kept);
            if (index.isValid())
                selection.select(index, index);
        }
        const QModelIndex current = mapFromSource(m_keptCurrent);
        if (current.isValid())
            m_selection->setCurrentIndex(current, QItemSelectionModel::NoUpdate);
        if (!selection.isEmpty())
            m_selection->select(selection, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    }
    m_keptSelection.clear();
    m_keptCurrent = QPersistentModelIndex();
    Q_EMIT rowsRebuilt();
}

void LibraryFilterModel::sortSourceRows()
{
    QAbstractItemModel *source = sourceModel();
    const int count = source ? source->rowCount() : 0;
    m_order.resize(std::size_t(count));
    std::iota(m_order.begin(), m_order.end(), 0);
    if (!source || m_sortColumn < 0 || m_sortColumn >= source->columnCount())
        return;
    // Each row's key once, then plain comparisons: names in the reader's language and any
    // letter case, numbers as numbers.
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    collator.setNumericMode(true);
    // The C locale's collator compares code points, capitals first; fold the case instead.
    const bool plain = collator.locale().language() == QLocale::C;
    using Key = std::variant<qint64, double, QCollatorSortKey, QString>;
    std::vector<Key> keys;
    keys.reserve(std::size_t(count));
    for (int row = 0; row < count; ++row) {
        const QVariant value = source->index(row, m_sortColumn).data(LibraryModel::SortRole);
        switch (value.typeId()) {
        case QMetaType::QString:
            if (plain)
                keys.emplace_back(value.toString().toCaseFolded());
            else
                keys.emplace_back(collator.sortKey(value.toString()));
            break;
        case QMetaType::Double:
        case QMetaType::Float:
            keys.emplace_back(value.toDouble());
            break;
        default:
            keys.emplace_back(value.isValid() ? value.toLongLong() : std::numeric_limits<qint64>::min());
        }
    }
    const auto less = [&keys](int a, int b) {
        const Key &left = keys[std::size_t(a)];
        const Key &right = keys[std::size_t(b)];
        if (left.index() != right.index())
            return left.index() < right.index();
        if (const auto *text = std::get_if<QCollatorSortKey>(&left))
            return text->compare(std::get<QCollatorSortKey>(right)) < 0;
        if (const auto *text = std::get_if<QString>(&left))
            return *text < std::get<QString>(right);
        if (const auto *number = std::get_if<double>(&left))
            return *number < std::get<double>(right);
        return std::get<qint64>(left) < std::get<qint64>(right);
    };
    if (m_sortOrder == Qt::AscendingOrder)
        std::stable_sort(m_order.begin(), m_order.end(), less);
    else
        std::stable_sort(m_order.begin(), m_order.end(), [&less](int a, int b) { return less(b, a); });
}

const QString &LibraryFilterModel::searchText(int sourceRow) const
{
    if (m_searchTexts.empty()) {
        const int count = sourceModel()->rowCount();
        m_searchTexts.resize(std::size_t(count));
        for (int row = 0; row < count; ++row) {
            // Zero characters part the texts: no typed text holds one, so a match never spans two.
            m_searchTexts[std::size_t(row)] =
                sourceModel()->index(row, LibraryModel::Name).data(LibraryModel::SearchRole).toString().toCaseFolded();
        }
    }
    return m_searchTexts[std::size_t(sourceRow)];
}

bool LibraryFilterModel::filterAcceptsRow(int sourceRow) const
{
    if (m_favouritesOnly
        && !sourceModel()->index(sourceRow, LibraryModel::Favourite).data(LibraryModel::SortRole).toBool())
        return false;
    if (m_dumpFilter != DumpFilter::All) {
        const QModelIndex dump = sourceModel()->index(sourceRow, LibraryModel::Dump);
        const bool verified = dump.data(LibraryModel::DumpRole).toInt() == int(DatStatus::Kind::Verified);
        if (m_dumpFilter == DumpFilter::Duplicates ? dump.data(LibraryModel::CopiesRole).toInt() < 2
                                                   : verified != (m_dumpFilter == DumpFilter::Verified))
            return false;
    }
    return m_text.isEmpty() || searchText(sourceRow).contains(m_text);
}

void LibraryFilterModel::filterSourceRows()
{
    m_rows.clear();
    m_shownAt.assign(m_order.size(), -1);
    for (const int row : m_order) {
        if (!filterAcceptsRow(row))
            continue;
        m_shownAt[std::size_t(row)] = int(m_rows.size());
        m_rows.push_back(row);
    }
}

void LibraryFilterModel::sourceDataChanged(const QModelIndex &topLeft, const QModelIndex &bottomRight)
{
    if (m_rebuilding || !topLeft.isValid())
        return;
    int first = -1;
    int last = -1;
    for (int row = topLeft.row(); row <= bottomRight.row() && row < int(m_shownAt.size()); ++row) {
        const int shown = m_shownAt[std::size_t(row)];
        if (shown < 0)
            continue;
        first = first < 0 ? shown : std::min(first, shown);
        last = std::max(last, shown);
    }
    if (first >= 0)
        Q_EMIT dataChanged(index(first, topLeft.column()), index(last, bottomRight.column()));
    // A change in what is sorted or searched by moves rows; rebuilt once, after the burst.
    const auto touches = [&](int column) { return column >= topLeft.column() && column <= bottomRight.column(); };
    const bool order = touches(m_sortColumn);
    bool searched = false;
    for (int column = topLeft.column(); column <= bottomRight.column(); ++column)
        searched = searched || LibraryModel::isSearched(column);
    const bool filter = (!m_text.isEmpty() && searched) || (m_favouritesOnly && touches(LibraryModel::Favourite))
        || (m_dumpFilter != DumpFilter::All && touches(LibraryModel::Dump));
    if (!order && !filter && m_searchTexts.empty())
        return;
    if (searched)
        m_searchTexts.clear();
    if (!order && !filter)
        return;
    m_pendingStale = order ? Stale::Order : std::max(m_pendingStale, Stale::Filter);
    if (m_pending)
        return;
    m_pending = true;
    QTimer::singleShot(0, this, [this]() {
        m_pending = false;
        const Stale stale = std::exchange(m_pendingStale, Stale::Nothing);
        rebuild(stale);
    });
}

QModelIndex LibraryFilterModel::mapToSource(const QModelIndex &proxyIndex) const
{
    if (!proxyIndex.isValid() || proxyIndex.model() != this || proxyIndex.row() >= int(m_rows.size()))
        return QModelIndex();
    return sourceModel()->index(m_rows[std::size_t(proxyIndex.row())], proxyIndex.column());
}

QModelIndex LibraryFilterModel::mapFromSource(const QModelIndex &sourceIndex) const
{
    if (!sourceIndex.isValid() || sourceIndex.row() >= int(m_shownAt.size()))
        return QModelIndex();
    const int row = m_shownAt[std::size_t(sourceIndex.row())];
    return row < 0 ? QModelIndex() : createIndex(row, sourceIndex.column());
}

QModelIndex LibraryFilterModel::index(int row, int column, const QModelIndex &parent) const
{
    if (parent.isValid() || row < 0 || row >= int(m_rows.size()) || column < 0 || column >= columnCount())
        return QModelIndex();
    return createIndex(row, column);
}

QModelIndex LibraryFilterModel::parent(const QModelIndex &) const
{
    return QModelIndex();
}

QModelIndex LibraryFilterModel::sibling(int row, int column, const QModelIndex &) const
{
    return index(row, column);
}

int LibraryFilterModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int LibraryFilterModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() || !sourceModel() ? 0 : sourceModel()->columnCount();
}

bool LibraryFilterModel::hasChildren(const QModelIndex &parent) const
{
    return !parent.isValid() && !m_rows.empty();
}

QVariant LibraryFilterModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    // Columns are the source's one for one, also while no row is shown.
    if (orientation == Qt::Horizontal && sourceModel())
        return sourceModel()->headerData(section, orientation, role);
    return QAbstractItemModel::headerData(section, orientation, role);
}
