#pragma once

#include "platform/NibViewController.h"

#include <QPointer>

class QFileDialog;
class QLineEdit;
class QListWidget;
class QPushButton;

/// The "Library" pane: the ROM folders the library lists, stored under "LibraryFolders"
/// as an array of absolute paths, with Add and Remove, and the covers folder.
class LibraryPreferencesViewController : public NibViewController
{
    Q_OBJECT

public:
    static const QString foldersKey;
    /// "CoversFolder": the player's covers, a path; none by default.
    static const QString coversFolderKey;

    explicit LibraryPreferencesViewController(QObject *parent = nullptr);

    QListWidget *folderList() const { return m_list; }
    QPushButton *addButton() const { return m_add; }
    QPushButton *removeButton() const { return m_remove; }
    QLineEdit *coversFolderField() const { return m_coversField; }
    /// Stores the covers folder (empty: none) and tells of the change.
    void setCoversFolder(const QString &folder);
    /// The folder chooser while it is open, else null.
    QFileDialog *folderChooser() const { return m_chooser; }

    /// Shows the stored list again (it may have changed from the File menu).
    void reload();
    /// Appends the folder (once) and stores the list.
    void addFolder(const QString &folder);
    /// Removes the selected folder and stores the list.
    void removeSelected();

Q_SIGNALS:
    /// The stored folder list changed.
    void foldersChanged();
    /// The stored covers folder changed.
    void coversFolderChanged();

protected:
    void setupUi(QWidget *view) override;

private:
    void store();

    QListWidget *m_list = nullptr;
    QPushButton *m_add = nullptr;
    QPushButton *m_remove = nullptr;
    QLineEdit *m_coversField = nullptr;
    QPointer<QFileDialog> m_chooser;
};
