#include "prefs/LibraryPreferencesViewController.h"

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
    auto *layout = new QVBoxLayout(view);
    layout->addWidget(label);
    layout->addWidget(m_list, 1);
    layout->addLayout(buttons);
    layout->addWidget(coversLabel);
    layout->addLayout(coversRow);
    connect(m_coversField, &QLineEdit::editingFinished, this, [this]() { setCoversFolder(m_coversField->text()); });
    connect(chooseCovers, &QPushButton::clicked, this, [this]() {
        auto *chooser = new QFileDialog(m_list->window(), tr("Choose Covers Folder"), m_coversField->text());
        chooser->setAttribute(Qt::WA_DeleteOnClose);
        chooser->setFileMode(QFileDialog::Directory);
        chooser->setOption(QFileDialog::ShowDirsOnly);
        connect(chooser, &QFileDialog::fileSelected, this, &LibraryPreferencesViewController::setCoversFolder);
        chooser->open();
    });
    view->resize(520, 320);

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
