#pragma once

#include "settings/EffectiveSettings.h"
#include "platform/NibWindowController.h"

#include <QMessageBox>
#include <QPointer>

class ControllerPreferencesViewController;
class EmulatorPreferencesViewController;
#include <QCheckBox>

class VideoPreferencesViewController;

/// The "Game Settings — NAME" window: the Video, Emulator and Controllers panes pointed at
/// one game's settings, each in a group whose "Use the global setting" check box decides
/// whether the game keeps values of its own for that group.
class GameSettingsWindowController : public NibWindowController
{
    Q_OBJECT

public:
    explicit GameSettingsWindowController(const EffectiveSettings &settings, QObject *parent = nullptr);
    ~GameSettingsWindowController() override;

    EffectiveSettings settings() const { return m_settings; }
    /// The group's "Use the global setting" check box.
    QCheckBox *globalBox(EffectiveSettings::Group group) const;
    VideoPreferencesViewController *videoVC() const { return m_videoVC; }
    EmulatorPreferencesViewController *emulatorVC() const { return m_emulatorVC; }
    ControllerPreferencesViewController *controllerVC() const { return m_controllerVC; }
    /// The question before the game's own mapping is discarded, while it is up.
    QMessageBox *discardQuestion() const { return m_discardQuestion; }
    /// The first time, also brings the whole window onto the screen's available area.
    void showWindow(QObject *sender) override;

protected:
    QWidget *createWindow() override;

private:
    void globalBoxToggled(EffectiveSettings::Group group, bool useGlobal);
    void setGroupOverridden(EffectiveSettings::Group group, bool overridden);
    // Shows the group's effective values, editable only while the game keeps its own.
    void showGroup(EffectiveSettings::Group group);
    // Shows again which groups the game keeps, as stored (after a change made anywhere).
    void showStoredGroups();

    EffectiveSettings m_settings;
    VideoPreferencesViewController *m_videoVC = nullptr;
    EmulatorPreferencesViewController *m_emulatorVC = nullptr;
    ControllerPreferencesViewController *m_controllerVC = nullptr;
    QPointer<QCheckBox> m_videoBox;
    QPointer<QCheckBox> m_emulatorBox;
    QPointer<QCheckBox> m_controllersBox;
    QPointer<QMessageBox> m_discardQuestion;
    bool m_placed = false;
};
