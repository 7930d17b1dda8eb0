#pragma once

#include "platform/NibViewController.h"

#include <QPointer>

class QFileDialog;
class QListWidget;
class QPushButton;

/// The "Library" pane: the ROM folders the library lists, stored under "LibraryFolders"
/// as an array of absolute paths, with Add and Remove.
class LibraryPreferencesViewController : public NibViewController
{
    Q_OBJECT

public:
    static const QString foldersKey;

    explicit LibraryPreferencesViewController(QObject *parent = nullptr);

    QListWidget *folderList() const { return m_list; }
    QPushButton *addButton() const { return m_add; }
    QPushButton *removeButton() const { return m_remove; }
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

protected:
    void setupUi(QWidget *view) override;

private:
    void store();

    QListWidget *m_list = nullptr;
    QPushButton *m_add = nullptr;
    QPushButton *m_remove = nullptr;
    QPointer<QFileDialog> m_chooser;
};
