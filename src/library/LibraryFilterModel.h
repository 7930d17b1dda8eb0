#pragma once

#include <QSortFilterProxyModel>

/// Filter-as-you-type over the name, file name and game code columns, any letter case.
class LibraryFilterModel : public QSortFilterProxyModel
{
    Q_OBJECT

public:
    explicit LibraryFilterModel(QObject *parent = nullptr);
    void setSearchText(const QString &text);

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const override;

private:
    QString m_text;
};
