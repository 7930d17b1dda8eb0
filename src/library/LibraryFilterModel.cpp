#include "library/LibraryFilterModel.h"

#include "library/LibraryModel.h"

LibraryFilterModel::LibraryFilterModel(QObject *parent) : QSortFilterProxyModel(parent)
{
    setSortRole(LibraryModel::SortRole);
    setSortCaseSensitivity(Qt::CaseInsensitive);
    setSortLocaleAware(true);
}

void LibraryFilterModel::setSearchText(const QString &text)
{
    const QString trimmed = text.trimmed();
    if (trimmed == m_text)
        return;
    m_text = trimmed;
    invalidateFilter();
}

bool LibraryFilterModel::filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const
{
    if (m_text.isEmpty())
        return true;
    for (const int column : {LibraryModel::Name, LibraryModel::FileName, LibraryModel::GameCode}) {
        const QModelIndex index = sourceModel()->index(sourceRow, column, sourceParent);
        if (index.data().toString().contains(m_text, Qt::CaseInsensitive))
            return true;
    }
    return false;
}
