#include "prefs/EmulatorPreferencesViewController.h"

#include "launch/EmulatorSupervisor.h"
#include "platform/Bundle.h"
#include "prefs/ClickActionTextField.h"
#include "prefs/SettingsBinding.h"

#include "ui_EmulatorPrefsView.h"

#include <QDir>
#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QLayout>
#include <QSignalBlocker>

#include <algorithm>

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
    connect(m_ui->buildPathField, &ClickActionTextField::selected, this,
            &EmulatorPreferencesViewController::textFieldSelected);
    connect(m_ui->buildSelector, &QComboBox::activated, this,
            &EmulatorPreferencesViewController::selectorChanged);
    view->installEventFilter(this);
}

bool EmulatorPreferencesViewController::eventFilter(QObject *watched, QEvent *event)
{
    if (m_ui && event->type() == QEvent::Show)
        showDefaultBuildInUse();
    return NibViewController::eventFilter(watched, event);
}

void EmulatorPreferencesViewController::showDefaultBuildInUse()
{
    // The same lookup as Play, so the pane can never name a build that Play would not start.
    EmulatorSupervisor lookup;
    lookup.setBundlePath(Bundle::mainBundle().resourcePath());
    lookup.readEmulatorConfig();
    const QString location = lookup.defaultBuildLocation();
    const QString user = EmulatorSupervisor::userDefaultBuildLocation();
    const QString app = QStringLiteral("/tolvane.app");
    QString text;
    if (!QFileInfo(lookup.tolvanePath()).isFile())
        text = tr("None installed. Put one in %1 for yourself, or in %2 for everyone.")
                   .arg(QDir::toNativeSeparators(user + app), QDir::toNativeSeparators(lookup.bundlePath() + app));
    else if (location == user)
        text = tr("Yours, in %1").arg(QDir::toNativeSeparators(location + app));
    else
        text = tr("Installed with the Launcher, in %1").arg(QDir::toNativeSeparators(location + app));
    m_ui->defaultBuildLabel->setText(text);
}

void EmulatorPreferencesViewController::loadView()
{
    NibViewController::loadView();
    reloadValues();
    SettingsBinding::follow(this, EffectiveSettings::keysOfGroup(EffectiveSettings::Emulator), m_settings, [this] { reloadValues(); });

    // The window takes the pane's size when it first shows it: make room for the text first.
    showDefaultBuildInUse();
    QWidget *pane = view();
    QSize size = pane->size().expandedTo(pane->minimumSizeHint());
    if (pane->layout()->hasHeightForWidth())
        size.setHeight(std::max(size.height(), pane->layout()->totalHeightForWidth(size.width())));
    pane->resize(size);
}

void EmulatorPreferencesViewController::reloadValues()
{
    if (!m_ui)
        return;
    // Show what is stored, so "Custom" never looks like "Default"; nothing is written here.
    const QSignalBlocker blocker(m_ui->buildSelector);
    const bool custom = m_settings.valueForKey(kBuildKey).toString() == kCustom;
    m_ui->buildSelector->setCurrentIndex(m_ui->buildSelector->findData(custom ? kCustom : kDefault));
    m_ui->buildPathField->setEnabled(custom);
    m_ui->buildPathField->setText(custom ? m_settings.valueForKey(kCustomBuildPathKey).toString() : QString());
}

void EmulatorPreferencesViewController::selectorChanged()
{
    const QString choice = m_ui->buildSelector->currentData().toString();
    const EffectiveSettings &defaults = m_settings;
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
    m_settings.setValueForKey(kCustomBuildPathKey, m_ui->buildPathField->text());
}
