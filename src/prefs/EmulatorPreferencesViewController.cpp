#include "prefs/EmulatorPreferencesViewController.h"

#include "platform/UserDefaults.h"
#include "prefs/ClickActionTextField.h"

#include "ui_EmulatorPrefsView.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QSignalBlocker>

namespace {
const QString kBuildKey = QStringLiteral("Build");
const QString kCustomBuildPathKey = QStringLiteral("CustomBuildPath");
const QString kDefault = QStringLiteral("Default");
const QString kCustom = QStringLiteral("Custom");
} // namespace

EmulatorPreferencesViewController::EmulatorPreferencesViewController(QObject *parent)
    : NibViewController(QStringLiteral("EmulatorPrefsView"), parent)
{
}

EmulatorPreferencesViewController::~EmulatorPreferencesViewController()
{
    delete m_chooser.data();
}

QComboBox *EmulatorPreferencesViewController::buildSelector() const
{
    return m_ui ? m_ui->buildSelector : nullptr;
}

ClickActionTextField *EmulatorPreferencesViewController::buildPathField() const
{
    return m_ui ? m_ui->buildPathField : nullptr;
}

void EmulatorPreferencesViewController::setupUi(QWidget *view)
{
    m_ui = std::make_unique<Ui::EmulatorPrefsView>();
    m_ui->setupUi(view);
    // The stored values are the untranslated titles; the user sees translated ones.
    m_ui->buildSelector->addItem(tr("Default"), kDefault);
    m_ui->buildSelector->addItem(tr("Custom"), kCustom);
    m_ui->buildPathField->setDelegate(this);
    connect(m_ui->buildSelector, &QComboBox::activated, this,
            &EmulatorPreferencesViewController::selectorChanged);
}

void EmulatorPreferencesViewController::loadView()
{
    NibViewController::loadView();
    m_ui->buildPathField->setEnabled(false);

    // Show what is stored, so "Custom" never looks like "Default"; nothing is written here.
    const UserDefaults &defaults = UserDefaults::standardUserDefaults();
    const QSignalBlocker blocker(m_ui->buildSelector);
    if (defaults.valueForKey(kBuildKey).toString() == kCustom) {
        m_ui->buildSelector->setCurrentIndex(m_ui->buildSelector->findData(kCustom));
        m_ui->buildPathField->setEnabled(true);
        m_ui->buildPathField->setText(defaults.valueForKey(kCustomBuildPathKey).toString());
    } else {
        m_ui->buildSelector->setCurrentIndex(m_ui->buildSelector->findData(kDefault));
    }
}

void EmulatorPreferencesViewController::selectorChanged()
{
    const QString choice = m_ui->buildSelector->currentData().toString();
    UserDefaults &defaults = UserDefaults::standardUserDefaults();
    if (choice == kDefault) {
        m_ui->buildPathField->setEnabled(false);
        m_ui->buildPathField->setText(QString());
        defaults.setValueForKey(kBuildKey, kDefault);
    } else if (choice == kCustom) {
        m_ui->buildPathField->setEnabled(true);
        m_ui->buildPathField->setText(defaults.valueForKey(kCustomBuildPathKey).toString());
        defaults.setValueForKey(kBuildKey, kCustom);
    }
}

void EmulatorPreferencesViewController::textFieldSelected(QObject *sender)
{
    Q_UNUSED(sender);
    if (m_chooser) {
        m_chooser->raise();
        m_chooser->activateWindow();
        return;
    }
    auto *chooser = new QFileDialog(view(), tr("Choose the Emulator Build"));
    const QString current = m_ui->buildPathField->text();
    chooser->setDirectory(current.isEmpty() ? QDir::homePath() : QFileInfo(current).path());
    // Our own dialog, so that hidden files really are listed.
    chooser->setOption(QFileDialog::DontUseNativeDialog);
    chooser->setFilter(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot | QDir::System);
    chooser->setFileMode(QFileDialog::ExistingFile);
    chooser->setAcceptMode(QFileDialog::AcceptOpen);
    chooser->setAccessibleName(tr("Choose the emulator build"));
    connect(chooser, &QDialog::finished, this, &EmulatorPreferencesViewController::chooserFinished);
    m_chooser = chooser;
    chooser->open();
}

void EmulatorPreferencesViewController::chooserFinished(int result)
{
    QFileDialog *chooser = m_chooser;
    if (!chooser)
        return;
    m_chooser = nullptr;
    chooser->deleteLater();
    const QStringList files = chooser->selectedFiles();
    if (result != QDialog::Accepted || files.isEmpty())
        return;
    m_ui->buildPathField->setText(QDir::toNativeSeparators(files.first()));
    UserDefaults::standardUserDefaults().setValueForKey(kCustomBuildPathKey, m_ui->buildPathField->text());
}
