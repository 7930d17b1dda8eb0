#include "mainwindow/ArchiveEntryChooser.h"

#include "rom/ROM.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

ArchiveEntryChooser::ArchiveEntryChooser(QWidget *parent, const QString &archiveName,
                                         const std::vector<RomArchive::Entry> &entries)
    : QDialog(parent), m_list(new QListWidget(this))
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowModality(Qt::NonModal);
    setWindowTitle(tr("Open ROM Image"));
    setAccessibleName(tr("Choose a ROM image"));
    auto *label = new QLabel(tr("\u201c%1\u201d holds several ROM images. Which one do you want to open?").arg(archiveName), this);
    label->setWordWrap(true);
    label->setBuddy(m_list);
    for (const RomArchive::Entry &entry : entries)
        m_list->addItem(entry.size >= 0 ? tr("%1 (%2)").arg(entry.name, ROM::sizeText(entry.size)) : entry.name);
    m_list->setCurrentRow(0);
    m_list->setAccessibleName(tr("ROM images"));
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Open | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &ArchiveEntryChooser::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &ArchiveEntryChooser::reject);
    connect(m_list, &QListWidget::itemActivated, this, &ArchiveEntryChooser::accept);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(m_list);
    layout->addWidget(buttons);
}

void ArchiveEntryChooser::accept()
{
    const int row = m_list->currentRow();
    QDialog::accept();
    if (row >= 0)
        Q_EMIT chosen(row);
}
