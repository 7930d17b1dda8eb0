#pragma once

#include "platform/NibViewController.h"

#include <QPointer>

class QFileDialog;
class QLineEdit;
class QListWidget;
class QPushButton;

/// The "Library" pane: the ROM folders the library lists (LibraryFolders), with Add and
/// Remove, and the covers folder. It shows what the store holds and follows its changes.
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

    /// Shows the stored list and covers folder again, keeping the selected folder.
    void reload();
    /// Adds the folder (once) to the stored list and selects it.
    void addFolder(const QString &folder);
    /// Removes the selected folder from the stored list.
    void removeSelected();

protected:
    void setupUi(QWidget *view) override;

private:

    QListWidget *m_list = nullptr;
    QPushButton *m_add = nullptr;
    QPushButton *m_remove = nullptr;
    QLineEdit *m_coversField = nullptr;
    QPointer<QFileDialog> m_chooser;
};
