#include "mainwindow/ArchiveEntryChooser.h"

#include <QInputDialog>

int ArchiveEntryChooser::choose(QWidget *parent, const QString &archiveName, const QStringList &entries)
{
    if (const std::optional<int> answer = std::exchange(s_nextAnswer, std::nullopt))
        return *answer;
    QInputDialog dialog(parent);
    dialog.setWindowTitle(tr("Open ROM Image"));
    dialog.setLabelText(tr("\u201c%1\u201d holds several ROM images. Which one do you want to open?").arg(archiveName));
    dialog.setOption(QInputDialog::UseListViewForComboBoxItems);
    dialog.setComboBoxItems(entries);
    dialog.setAccessibleName(tr("Choose a ROM image"));
    if (dialog.exec() != QDialog::Accepted)
        return -1;
    return int(entries.indexOf(dialog.textValue()));
}
