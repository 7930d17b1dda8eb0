#pragma once

#include "platform/NibViewController.h"

#include <QHash>
#include <QPointer>

class QFileDialog;
class QLineEdit;
class QListWidget;
class QPushButton;

/// The "Library" pane: the ROM folders the library lists (LibraryFolders), with Add and
/// Remove, the covers folder, and the DAT files that identify the games (DatCatalog). It
/// shows what the store holds and follows its changes.
class LibraryPreferencesViewController : public NibViewController
{
    Q_OBJECT

public:
    /// "CoversFolder": the player's covers, a path; none by default.
    static const QString coversFolderKey;

    explicit LibraryPreferencesViewController(QObject *parent = nullptr);

    QListWidget *folderList() const { return m_list; }
    QPushButton *addButton() const { return m_add; }
    QPushButton *removeButton() const { return m_remove; }
    QLineEdit *coversFolderField() const { return m_coversField; }
    /// Stores the covers folder (empty: none).
    void setCoversFolder(const QString &folder);
    /// The folder chooser while it is open, else null.
    QFileDialog *folderChooser() const { return m_chooser; }

    QListWidget *datList() const { return m_dats; }
    QPushButton *removeDatButton() const { return m_removeDat; }
    /// What the library read of each DAT file, by path ("NAME, VERSION, N games"), shown in
    /// place of the path; a path without one is shown as it is.
    void setDatSummaries(const QHash<QString, QString> &summaries);

    /// Shows the stored list and covers folder again, keeping the selected folder.
    void reload();
    /// Adds the folder (once) to the stored list and selects it.
    void addFolder(const QString &folder);
    /// Removes the selected folder from the stored list.
    void removeSelected();

protected:
    void setupUi(QWidget *view) override;

private:
    void reloadDats();

    QListWidget *m_list = nullptr;
    QListWidget *m_dats = nullptr;
    QPushButton *m_removeDat = nullptr;
    QHash<QString, QString> m_datSummaries;
    QPushButton *m_add = nullptr;
    QPushButton *m_remove = nullptr;
    QLineEdit *m_coversField = nullptr;
    QPointer<QFileDialog> m_chooser;
};
