#include "input/MappingTableModel.h"

#include "input/ControllerRecord.h"
#include "input/MappingValue.h"

MappingTableModel::MappingTableModel(DataSource source, QObject *parent)
    : QAbstractTableModel(parent)
    , m_source(std::move(source))
{
    m_rows = m_source.numberOfRows();
}

int MappingTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_rows;
}

int MappingTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : 2;
}

QVariant MappingTableModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows)
        return {};
    const QString text = m_source.objectValue(index.column(), index.row());
    // Input names are data; only what is shown of them may be translated.
    if (index.column() != YourColumn)
        return role == Qt::DisplayRole || role == Qt::AccessibleTextRole ? QVariant(ControllerRecord::displayName(text)) : QVariant();
    // People read the value in words; the stored form stays at hand for those who need it.
    switch (role) {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole: {
        const QString note = m_source.note(index.row());
        return note.isEmpty() ? MappingValue::displayText(text) : tr("%1 (%2)").arg(MappingValue::displayText(text), note);
    }
    case Qt::ToolTipRole:
    case Qt::AccessibleDescriptionRole: {
        const QString note = m_source.note(index.row());
        return note.isEmpty() ? text : tr("%1 (%2)").arg(text, note);
    }
    default:
        return {};
    }
}

QVariant MappingTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    if (section == NintendoColumn)
        return tr("Nintendo 64");
    if (section == YourColumn)
        return tr("Your input");
    return {};
}

void MappingTableModel::reloadData()
{
    const int rows = m_source.numberOfRows();
    if (rows != m_rows) {
        beginResetModel();
        m_rows = rows;
        endResetModel();
        return;
    }
    if (m_rows > 0)
        Q_EMIT dataChanged(index(0, 0), index(m_rows - 1, columnCount() - 1));
}
