#pragma once

#include <QObject>
#include <QPointer>

#include <memory>

class EffectiveSettings;
#include "prefs/GameSettingsWindowController.h"

class MainMenu;
class QAction;
class QUrl;
class ROM;
class WindowController;

/// The ways to a game's settings: Emulation ▸ Game Settings… (Ctrl+G) and the ROM view's
/// button for the shown ROM, the library's context menu for its selected row. One Game
/// Settings window is up at a time.
class GameSettingsCommands : public QObject
{
    Q_OBJECT

public:
    GameSettingsCommands(WindowController *controller, MainMenu *menu, QObject *parent = nullptr);
    ~GameSettingsCommands() override;

    /// "Game Settings…", enabled while a ROM is shown.
    QAction *action() const { return m_action; }
    /// The window's controller while one has been opened, else null.
    GameSettingsWindowController *windowController() const { return m_windowController; }

    /// Opens the window for \a rom's game (one with a digest).
    void showForROM(const std::shared_ptr<ROM> &rom);
    /// Opens the window for the game whose image has \a md5 and internal name \a name, as a
    /// library row knows them: nothing is read. A row without a name is titled by \a file
    /// (a file URL, or an archive entry's).
    void showForFile(const QString &md5, const QString &name, const QUrl &file);

private:
    void show(const EffectiveSettings &settings);
    void updateAction();

    WindowController *m_controller;
    MainMenu *m_menu;
    QAction *m_action;
    QPointer<GameSettingsWindowController> m_windowController;
};
