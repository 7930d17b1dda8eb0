#pragma once

#include "rom/RomArchive.h"

#include <QDialog>

#include <vector>

class QListWidget;

/// The short list that asks which image of an archive holding several to open. Shown
/// without blocking anything (show(), no loop of its own): the answer comes by chosen() or
/// rejected(), and the window's toolbar stays at hand meanwhile. Deletes itself when closed.
class ArchiveEntryChooser : public QDialog
{
    Q_OBJECT

public:
    /// Lists \a entries (from the archive's headers) of the archive named \a archiveName.
    ArchiveEntryChooser(QWidget *parent, const QString &archiveName, const std::vector<RomArchive::Entry> &entries);

    QListWidget *list() const { return m_list; }
    void accept() override;

Q_SIGNALS:
    /// The player opened the entry at \a row of the list given.
    void chosen(int row);

private:
    QListWidget *m_list;
};
