#include "app/GameSettingsCommands.h"

#include "app/MainMenu.h"
#include "launch/EmulatorSupervisor.h"
#include "settings/EffectiveSettings.h"
#include "library/LibraryController.h"
#include "mainwindow/WindowController.h"
#include "prefs/GameSettingsWindowController.h"
#include "platform/LocalPath.h"
#include "rom/ROM.h"

#include <QAction>
#include <QMenu>
#include <QUrl>
#include <QWidget>

GameSettingsCommands::GameSettingsCommands(WindowController *controller, MainMenu *menu, QObject *parent)
    : QObject(parent)
    , m_controller(controller)
    , m_menu(menu)
    , m_action(new QAction(tr("Game Settings…"), this))
{
    m_action->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_G));
    if (QMenu *emulation = menu->emulationMenu()) {
        emulation->addSeparator();
        emulation->addAction(m_action);
    }
    // The shortcut works while the menu is closed.
    if (QWidget *window = controller->window())
        window->addAction(m_action);
    connect(m_action, &QAction::triggered, this, [this] { showForROM(m_controller->rom()); });
    connect(controller, &WindowController::gameSettingsRequested, this, &GameSettingsCommands::showForROM);
    connect(controller, &WindowController::romChanged, this, &GameSettingsCommands::updateAction);
    // The library's context menu offers the item once this is connected.
    if (LibraryController *library = controller->library())
        connect(library, &LibraryController::gameSettingsRequested, this, &GameSettingsCommands::showForFile);
    updateAction();
}

GameSettingsCommands::~GameSettingsCommands() = default;

void GameSettingsCommands::updateAction()
{
    const std::shared_ptr<ROM> rom = m_controller->rom();
    m_action->setEnabled(rom && rom->MD5());
}

void GameSettingsCommands::showForROM(const std::shared_ptr<ROM> &rom)
{
    if (rom && rom->MD5())
        show(EffectiveSettings::forROM(rom.get()));
}

void GameSettingsCommands::showForFile(const QString &md5, const QString &name, const QUrl &file)
{
    const QString title = name.trimmed();
    show(EffectiveSettings(md5, title.isEmpty() ? LocalPath::fromUrl(file).fileName() : title));
}

void GameSettingsCommands::show(const EffectiveSettings &settings)
{
    if (m_windowController && m_windowController->settings().md5() != settings.md5()) {
        m_windowController->window()->close();
        m_windowController->deleteLater();
        m_windowController = nullptr;
    }
    if (!m_windowController) {
        m_windowController = new GameSettingsWindowController(settings, this);
        if (QWidget *window = m_windowController->window())
            m_menu->addApplicationShortcuts(window);
    }
    m_windowController->showWindow(this);
}
