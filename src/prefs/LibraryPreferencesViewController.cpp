#include "prefs/LibraryPreferencesViewController.h"

#include "library/DatCatalog.h"
#include "library/LibraryFolders.h"
#include "platform/UserDefaults.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

const QString LibraryPreferencesViewController::coversFolderKey = QStringLiteral("CoversFolder");

LibraryPreferencesViewController::LibraryPreferencesViewController(QObject *parent)
    : NibViewController(QStringLiteral("LibraryPrefsView"), parent)
{
}

void LibraryPreferencesViewController::setupUi(QWidget *view)
{
    view->setObjectName(QStringLiteral("LibraryPrefsView"));
    auto *label = new QLabel(tr("ROM &folders listed in the library, with every folder inside them:"), view);
    m_list = new QListWidget(view);
    m_list->setObjectName(QStringLiteral("libraryFolders"));
    m_list->setAccessibleName(tr("ROM folders"));
    label->setBuddy(m_list);
    m_add = new QPushButton(tr("&Add…"), view);
    m_remove = new QPushButton(tr("&Remove"), view);
    m_add->setAccessibleName(tr("Add ROM folder"));
    m_remove->setAccessibleName(tr("Remove ROM folder"));
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_add);
    buttons->addWidget(m_remove);
    buttons->addStretch(1);
    auto *coversLabel = new QLabel(tr("&Covers folder (pictures named after a game's MD5, game code, name or file):"), view);
    m_coversField = new QLineEdit(view);
    m_coversField->setObjectName(QStringLiteral("coversFolder"));
    m_coversField->setAccessibleName(tr("Covers folder"));
    m_coversField->setPlaceholderText(tr("None"));
    m_coversField->setClearButtonEnabled(true);
    coversLabel->setBuddy(m_coversField);
    auto *chooseCovers = new QPushButton(tr("C&hoose…"), view);
    chooseCovers->setAccessibleName(tr("Choose covers folder"));
    auto *coversRow = new QHBoxLayout;
    coversRow->addWidget(m_coversField, 1);
    coversRow->addWidget(chooseCovers);
    auto *datLabel = new QLabel(tr("&DAT files that identify your games (lists of known dumps, XML or clrmamepro text):"), view);
    datLabel->setWordWrap(true);
    m_dats = new QListWidget(view);
    m_dats->setObjectName(QStringLiteral("datFiles"));
    m_dats->setAccessibleName(tr("DAT files"));
    datLabel->setBuddy(m_dats);
    auto *addDat = new QPushButton(tr("Add…"), view);
    addDat->setAccessibleName(tr("Add DAT file"));
    m_removeDat = new QPushButton(tr("Remove"), view);
    m_removeDat->setAccessibleName(tr("Remove DAT file"));
    auto *datButtons = new QHBoxLayout;
    datButtons->addWidget(addDat);
    datButtons->addWidget(m_removeDat);
    datButtons->addStretch(1);
    auto *layout = new QVBoxLayout(view);
    layout->addWidget(label);
    layout->addWidget(m_list, 1);
    layout->addLayout(buttons);
    layout->addWidget(coversLabel);
    layout->addLayout(coversRow);
    layout->addWidget(datLabel);
    layout->addWidget(m_dats, 1);
    layout->addLayout(datButtons);
    connect(addDat, &QPushButton::clicked, this, [this]() {
        auto *chooser = new QFileDialog(m_list->window(), tr("Add DAT File"));
        chooser->setAttribute(Qt::WA_DeleteOnClose);
        chooser->setFileMode(QFileDialog::ExistingFile);
        chooser->setNameFilters({tr("DAT files (*.dat *.xml *.zip)"), tr("All files (*)")});
        connect(chooser, &QFileDialog::fileSelected, this, [](const QString &path) { DatCatalog::add(path); });
        chooser->open();
    });
    connect(m_removeDat, &QPushButton::clicked, this, [this]() {
        if (QListWidgetItem *item = m_dats->currentItem())
            DatCatalog::remove(item->data(Qt::UserRole).toString());
    });
    connect(m_dats, &QListWidget::currentRowChanged, this, [this](int row) { m_removeDat->setEnabled(row >= 0); });
    connect(m_coversField, &QLineEdit::editingFinished, this, [this]() { setCoversFolder(m_coversField->text()); });
    connect(chooseCovers, &QPushButton::clicked, this, [this]() {
        auto *chooser = new QFileDialog(m_list->window(), tr("Choose Covers Folder"), m_coversField->text());
        chooser->setAttribute(Qt::WA_DeleteOnClose);
        chooser->setFileMode(QFileDialog::Directory);
        chooser->setOption(QFileDialog::ShowDirsOnly);
        connect(chooser, &QFileDialog::fileSelected, this, &LibraryPreferencesViewController::setCoversFolder);
        chooser->open();
    });
    view->resize(520, 440);

    connect(m_add, &QPushButton::clicked, this, [this]() {
        if (m_chooser) {
            m_chooser->raise();
            return;
        }
        auto *chooser = new QFileDialog(m_list->window(), tr("Add ROM Folder"));
        chooser->setAttribute(Qt::WA_DeleteOnClose);
        chooser->setFileMode(QFileDialog::Directory);
        chooser->setOption(QFileDialog::ShowDirsOnly);
        connect(chooser, &QFileDialog::fileSelected, this, &LibraryPreferencesViewController::addFolder);
        m_chooser = chooser;
        chooser->open();
    });
    connect(m_remove, &QPushButton::clicked, this, &LibraryPreferencesViewController::removeSelected);
    connect(m_list, &QListWidget::currentRowChanged, this, [this](int row) { m_remove->setEnabled(row >= 0); });
    // The File menu, the library and a hand edit of the file change these as well.
    connect(&UserDefaults::standardUserDefaults(), &UserDefaults::valueChanged, this, [this](const QString &key) {
        if (key == LibraryFolders::key || key == coversFolderKey)
            reload();
        else if (key == DatCatalog::key)
            reloadDats();
    });
    reload();
}

void LibraryPreferencesViewController::reload()
{
    if (!m_list)
        return;
    const QString selected = m_list->currentItem() ? m_list->currentItem()->text() : QString();
    const QSignalBlocker blocker(m_list);
    m_list->clear();
    m_list->addItems(LibraryFolders::folders());
    const QList<QListWidgetItem *> same = m_list->findItems(selected, Qt::MatchExactly);
    m_list->setCurrentItem(same.isEmpty() ? nullptr : same.first());
    m_remove->setEnabled(m_list->currentRow() >= 0);
    // Not while the player is typing a folder of their own there.
    if (!m_coversField->hasFocus())
        m_coversField->setText(UserDefaults::standardUserDefaults().valueForKey(coversFolderKey).toString());
    reloadDats();
}

void LibraryPreferencesViewController::setDatSummaries(const QHash<QString, QString> &summaries)
{
    m_datSummaries = summaries;
    reloadDats();
}

void LibraryPreferencesViewController::reloadDats()
{
    if (!m_dats)
        return;
    const int row = m_dats->currentRow();
    const QSignalBlocker blocker(m_dats);
    m_dats->clear();
    for (const QString &path : DatCatalog::paths()) {
        auto *item = new QListWidgetItem(m_datSummaries.value(path, path), m_dats);
        item->setData(Qt::UserRole, path);
        item->setToolTip(path);
    }
    m_dats->setCurrentRow(std::min(row, m_dats->count() - 1));
    m_removeDat->setEnabled(m_dats->currentRow() >= 0);
}

void LibraryPreferencesViewController::setCoversFolder(const QString &folder)
{
    view();
    const QString cleaned = folder.trimmed().isEmpty() ? QString() : QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
    m_coversField->setText(cleaned);
    UserDefaults &defaults = UserDefaults::standardUserDefaults();
    if (defaults.valueForKey(coversFolderKey).toString() != cleaned)
        defaults.setValueForKey(coversFolderKey, cleaned.isEmpty() ? QVariant() : QVariant(cleaned));
}

void LibraryPreferencesViewController::addFolder(const QString &folder)
{
    view();
    if (folder.isEmpty())
        return;
    // Edited as stored now: the File menu may have added a folder since this list was shown.
    LibraryFolders::add(folder);
    const QList<QListWidgetItem *> added =
        m_list->findItems(QDir::cleanPath(QFileInfo(folder).absoluteFilePath()), Qt::MatchExactly);
    if (!added.isEmpty())
        m_list->setCurrentItem(added.first());
}

void LibraryPreferencesViewController::removeSelected()
{
    view();
    if (QListWidgetItem *item = m_list->currentItem())
        LibraryFolders::remove(item->text());
}
