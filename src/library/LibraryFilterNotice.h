#pragma once

#include <QObject>
#include <QString>

class LibraryFilterModel;
class LibraryPanel;
class QLabel;
class QPushButton;
class QWidget;

/// Says in the list's place what it lacks: why the player's filter shows no game (no favourites
/// yet, or nothing matches the search), how an empty library gets its games, and in an empty
/// grid where covers come from; in the status line, how many games match the filter.
class LibraryFilterNotice : public QObject
{
    Q_OBJECT

public:
    /// Puts its notice above \a panel's views and takes over the panel's status line.
    LibraryFilterNotice(LibraryPanel *panel, LibraryFilterModel *filter, QObject *parent = nullptr);

    QLabel *notice() const { return m_notice; }
    /// "Choose ROM Folder…", offered while no folder is chosen.
    QPushButton *chooseFolderButton() const { return m_chooseFolder; }
    /// "Covers Folder…", offered in an empty grid.
    QPushButton *coversFolderButton() const { return m_coversFolder; }

public Q_SLOTS:
    /// What the library says of its folders, shown with the count of matches while filtering.
    void setLibraryStatus(const QString &text);

Q_SIGNALS:
    /// The player asked to choose a ROM folder.
    void chooseFolderRequested();
    /// The player asked for the covers folder setting.
    void coversFolderRequested();

private:
    void update();

    LibraryPanel *m_panel;
    LibraryFilterModel *m_filter;
    QWidget *m_box;
    QLabel *m_notice;
    QPushButton *m_chooseFolder;
    QPushButton *m_coversFolder;
    QString m_libraryStatus;
};
