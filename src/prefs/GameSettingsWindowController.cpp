#include "prefs/GameSettingsWindowController.h"

#include "input/ControllerPreferencesViewController.h"
#include "platform/UserDefaults.h"
#include "prefs/EmulatorPreferencesViewController.h"
#include "prefs/PrefrenceWindowController.h"
#include "prefs/VideoPreferencesViewController.h"

#include <QAction>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSet>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <QWidget>

#include <utility>

namespace {

// The panes were laid out for a window each; side by side here, some of their mnemonics meet
// (Controller and Custom build, Resolution and Reset to Defaults), and Alt+letter would only
// cycle between them. Each later one moves to a letter still free; the roots come in order of
// precedence.
void makeMnemonicsUnique(const QList<QWidget *> &roots)
{
    QSet<QChar> used;
    const auto unique = [&used](const QString &text) {
        qsizetype at = -1;
        for (qsizetype i = text.indexOf(QLatin1Char('&')); i >= 0 && i + 1 < text.size();
             i = text.indexOf(QLatin1Char('&'), i + 2)) {
            if (text.at(i + 1) != QLatin1Char('&')) {
                at = i;
                break;
            }
        }
        if (at < 0)
            return text;
        if (const QChar letter = text.at(at + 1).toLower(); !used.contains(letter)) {
            used.insert(letter);
            return text;
        }
        QString plain = QString(text).remove(at, 1);
        for (qsizetype i = 0; i < plain.size(); ++i) {
            const QChar letter = plain.at(i).toLower();
            if (letter.isLetter() && !used.contains(letter)) {
                used.insert(letter);
                return plain.insert(i, QLatin1Char('&'));
            }
        }
        return plain;
    };
    QList<QWidget *> widgets;
    for (QWidget *root : roots)
        widgets += root->findChildren<QWidget *>();
    for (QWidget *widget : widgets) {
        if (auto *label = qobject_cast<QLabel *>(widget); label && label->buddy())
            label->setText(unique(label->text()));
        else if (auto *button = qobject_cast<QAbstractButton *>(widget))
            button->setText(unique(button->text()));
    }
}

} // namespace

GameSettingsWindowController::GameSettingsWindowController(const EffectiveSettings &settings, QObject *parent)
    : NibWindowController(QStringLiteral("GameSettingsWindow"), parent)
    , m_settings(settings)
    , m_videoVC(new VideoPreferencesViewController(this))
    , m_emulatorVC(new EmulatorPreferencesViewController(this))
    , m_controllerVC(new ControllerPreferencesViewController(this))
{
    // The very panes of the preferences window, pointed at this game's settings.
    m_videoVC->setSettings(settings);
    m_emulatorVC->setSettings(settings);
    m_controllerVC->setSettings(settings);
}

// The window, and with it the panes' views, goes before the pane controllers (children).
GameSettingsWindowController::~GameSettingsWindowController() = default;

QCheckBox *GameSettingsWindowController::globalBox(EffectiveSettings::Group group) const
{
    switch (group) {
    case EffectiveSettings::Video:
        return m_videoBox;
    case EffectiveSettings::Emulator:
        return m_emulatorBox;
    case EffectiveSettings::Controllers:
        return m_controllersBox;
    case EffectiveSettings::NoGroup:
        break;
    }
    return nullptr;
}

QWidget *GameSettingsWindowController::createWindow()
{
    auto *window = new QWidget(nullptr, Qt::Window);
    window->setWindowTitle(tr("Game Settings — %1").arg(m_settings.name()));
    window->setAccessibleName(window->windowTitle());
    auto *layout = new QVBoxLayout(window);
    const EffectiveSettings::Groups own = m_settings.overriddenGroups();

    const auto addGroup = [&](EffectiveSettings::Group group, const QString &title, QWidget *pane,
                              const QString &boxDescription) {
        auto *box = new QGroupBox(title, window);
        auto *boxLayout = new QVBoxLayout(box);
        auto *useGlobal = new QCheckBox(tr("Use the global setting"), box);
        useGlobal->setAccessibleDescription(boxDescription);
        useGlobal->setChecked(!own.testFlag(group));
        boxLayout->addWidget(useGlobal);
        boxLayout->addWidget(pane);
        connect(useGlobal, &QCheckBox::toggled, this,
                [this, group](bool checked) { globalBoxToggled(group, checked); });
        layout->addWidget(box, group == EffectiveSettings::Controllers ? 1 : 0);
        return useGlobal;
    };
    m_videoBox = addGroup(EffectiveSettings::Video, tr("Video"), m_videoVC->view(),
                          tr("The video plug-in, resolution and full screen of the Video preferences"));
    m_emulatorBox = addGroup(EffectiveSettings::Emulator, tr("Emulator"), m_emulatorVC->view(),
                             tr("The emulator build of the Emulator preferences"));
    m_controllersBox = addGroup(EffectiveSettings::Controllers, tr("Controllers"), m_controllerVC->view(),
                                tr("The controller mapping of the Controllers preferences"));

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, window);
    connect(buttons, &QDialogButtonBox::rejected, window, &QWidget::close);
    // Escape closes it as it closes a dialog (a pad's B too).
    auto *escape = new QAction(window);
    escape->setShortcut(QKeySequence(Qt::Key_Escape));
    connect(escape, &QAction::triggered, window, &QWidget::close);
    window->addAction(escape);
    layout->addWidget(buttons);

    for (const EffectiveSettings::Group group : {EffectiveSettings::Video, EffectiveSettings::Emulator, EffectiveSettings::Controllers})
        showGroup(group);
    // A hand edit of the file, or another window, may give or take the game's own values.
    connect(&UserDefaults::standardUserDefaults(), &UserDefaults::valueChanged, this, [this](const QString &key) {
        if (key == EffectiveSettings::kGameSettingsKey)
            showStoredGroups();
    });
    // The emulator build is the rarest choice: its Custom build gives way to Controller.
    makeMnemonicsUnique({m_videoVC->view(), m_controllerVC->view(), m_emulatorVC->view(), buttons});
    // Tall enough for every row of the mapping (its table asks for them), as far as the screen
    // allows once shown; nothing is remembered.
    window->resize(window->sizeHint());
    return window;
}

void GameSettingsWindowController::showWindow(QObject *sender)
{
    NibWindowController::showWindow(sender);
    if (QWidget *w = window(); w && !std::exchange(m_placed, true))
        w->setGeometry(PrefrenceWindowController::keptOnScreen(w, w->geometry()));
}

void GameSettingsWindowController::showGroup(EffectiveSettings::Group group)
{
    const bool own = !globalBox(group)->isChecked();
    switch (group) {
    case EffectiveSettings::Video:
        m_videoVC->reloadValues();
        m_videoVC->view()->setEnabled(own);
        break;
    case EffectiveSettings::Emulator:
        m_emulatorVC->reloadValues();
        m_emulatorVC->view()->setEnabled(own);
        break;
    case EffectiveSettings::Controllers:
        m_controllerVC->reloadValues();
        m_controllerVC->view()->setEnabled(own);
        break;
    case EffectiveSettings::NoGroup:
        break;
    }
}

void GameSettingsWindowController::showStoredGroups()
{
    const EffectiveSettings::Groups own = m_settings.overriddenGroups();
    for (const EffectiveSettings::Group group : {EffectiveSettings::Video, EffectiveSettings::Emulator, EffectiveSettings::Controllers}) {
        QCheckBox *box = globalBox(group);
        // While the player is asked about discarding the mapping, the box shows the question's side.
        if (!box || (group == EffectiveSettings::Controllers && m_discardQuestion))
            continue;
        const QSignalBlocker blocker(box);
        box->setChecked(!own.testFlag(group));
        showGroup(group);
    }
}

void GameSettingsWindowController::setGroupOverridden(EffectiveSettings::Group group, bool overridden)
{
    m_settings.setGroupOverridden(group, overridden);
    showGroup(group);
}

void GameSettingsWindowController::globalBoxToggled(EffectiveSettings::Group group, bool useGlobal)
{
    // The game's copy starts from what the global settings are now.
    if (!useGlobal || group != EffectiveSettings::Controllers) {
        setGroupOverridden(group, !useGlobal);
        return;
    }
    // A mapping may be the work of many captures: ask before it goes.
    auto *question = new QMessageBox(QMessageBox::Question, tr("Discard This Game's Mapping?"),
                                     tr("This game's own controller mapping will be discarded, and the game "
                                        "will use the global mapping."),
                                     QMessageBox::Cancel, window());
    question->setAttribute(Qt::WA_DeleteOnClose);
    QPushButton *discard = question->addButton(tr("Discard"), QMessageBox::DestructiveRole);
    question->setDefaultButton(QMessageBox::Cancel);
    connect(question, &QMessageBox::finished, this, [this, question, discard] {
        if (question->clickedButton() == discard) {
            setGroupOverridden(EffectiveSettings::Controllers, false);
        } else {
            const QSignalBlocker blocker(m_controllersBox);
            m_controllersBox->setChecked(false);
        }
    });
    m_discardQuestion = question;
    question->open();
}
