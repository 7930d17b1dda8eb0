#pragma once

#include <QAbstractTableModel>

#include <functional>

/// The two columns of the mapping table (input names, mapping values). It holds no data:
/// it asks its data source each time, like a table with a data source.
class MappingTableModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column { NintendoColumn = 0, YourColumn = 1 };

    /// The data source's operations: the number of rows, the text of a cell, and a note
    /// on why a row's value is as it is (empty for none).
    struct DataSource
    {
        std::function<int()> numberOfRows;
        std::function<QString(int column, int row)> objectValue;
        std::function<QString(int row)> note = [](int) { return QString(); };
    };

    explicit MappingTableModel(DataSource source, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    /// Asks the data source again. Keeps the selection when the number of rows is unchanged.
    void reloadData();

private:
    DataSource m_source;
    int m_rows = 0;
};
