#include "prefs/LibraryPreferencesViewController.h"

#include "platform/UserDefaults.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

const QString LibraryPreferencesViewController::foldersKey = QStringLiteral("LibraryFolders");
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
    reload();
}

void LibraryPreferencesViewController::reload()
{
    if (!m_list)
        return;
    m_list->clear();
    for (const QVariant &value : UserDefaults::standardUserDefaults().arrayForKey(foldersKey).value_or(QVariantList()))
        m_list->addItem(value.toString());
    m_remove->setEnabled(m_list->currentRow() >= 0);
    m_coversField->setText(UserDefaults::standardUserDefaults().valueForKey(coversFolderKey).toString());
}

void LibraryPreferencesViewController::setCoversFolder(const QString &folder)
{
    view();
    const QString cleaned = folder.trimmed().isEmpty() ? QString() : QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
    m_coversField->setText(cleaned);
    UserDefaults &defaults = UserDefaults::standardUserDefaults();
    if (defaults.valueForKey(coversFolderKey).toString() == cleaned)
        return;
    defaults.setValueForKey(coversFolderKey, cleaned.isEmpty() ? QVariant() : QVariant(cleaned));
    Q_EMIT coversFolderChanged();
}

void LibraryPreferencesViewController::store()
{
    QVariantList folders;
    for (int row = 0; row < m_list->count(); ++row)
        folders.append(m_list->item(row)->text());
    UserDefaults::standardUserDefaults().setValueForKey(foldersKey, folders);
    Q_EMIT foldersChanged();
}

void LibraryPreferencesViewController::addFolder(const QString &folder)
{
    view();
    const QString absolute = QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
    if (folder.isEmpty() || !m_list->findItems(absolute, Qt::MatchExactly).isEmpty())
        return;
    m_list->addItem(absolute);
    m_list->setCurrentRow(m_list->count() - 1);
    store();
}

void LibraryPreferencesViewController::removeSelected()
{
    view();
    const int row = m_list->currentRow();
    if (row < 0)
        return;
    delete m_list->takeItem(row);
    store();
}
