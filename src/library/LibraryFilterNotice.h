#pragma once

#include <QObject>
#include <QString>

class LibraryFilterModel;
class LibraryPanel;
class QLabel;

/// Says what the player's filter does: in the list's place, why it shows no game (no
/// favourites yet, or nothing matches the search); in the status line, how many match.
class LibraryFilterNotice : public QObject
{
    Q_OBJECT

public:
    /// Puts its notice above \a panel's views and takes over the panel's status line.
    LibraryFilterNotice(LibraryPanel *panel, LibraryFilterModel *filter, QObject *parent = nullptr);

    QLabel *notice() const { return m_notice; }

public Q_SLOTS:
    /// What the library says of its folders, shown with the count of matches while filtering.
    void setLibraryStatus(const QString &text);

private:
    void update();

    LibraryPanel *m_panel;
    LibraryFilterModel *m_filter;
    QLabel *m_notice;
    QString m_libraryStatus;
};
