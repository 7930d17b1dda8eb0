#pragma once

#include "input/InputTableView.h"
#include "settings/EffectiveSettings.h"
#include "platform/NibViewController.h"

#include <QComboBox>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QStringList>
#include <QVariantMap>

#include <atomic>
#include <memory>
#include <mutex>
#include <vector>

class ControllerPicture;
class MappingTableModel;
class QLabel;
class QThread;
class UserDefaults;
struct _SDL_Joystick;

namespace Ui {
class ControllerPrefsView;
}

/// The Controllers pane: a pop-up of controller titles and the mapping table. Selecting a
/// row arms a capture, from the keyboard for "Keyboard" and from joystick 0 otherwise;
/// each captured value is stored at once under "Controllers" (of the global settings or of
/// one game's) and the next row is selected.
class ControllerPreferencesViewController : public NibViewController
{
    Q_OBJECT

public:
    explicit ControllerPreferencesViewController(QObject *parent = nullptr);
    /// Stops capture threads; a thread waiting to hand over a value is released unheard.
    ~ControllerPreferencesViewController() override;

    QComboBox *popupButton() const { return m_popupButton; }
    InputTableView *tableView() const { return m_tableView; }
    QPushButton *resetButton() const { return m_resetButton; }
    MappingTableModel *tableModel() const { return m_model; }
    ControllerPicture *picture() const { return m_picture; }
    /// The line under the pop-up that says what a selected row will capture.
    QLabel *hintLabel() const;
    /// The name of the joystick capture reads, or empty when none was found at loading.
    QString joystickName() const { return m_joystickName; }

    /// Which settings the pane edits; set before the view is loaded.
    void setSettings(const EffectiveSettings &settings) { m_settings = settings; }
    /// Takes the stored controller records in again, keeping the title and row shown.
    void reloadValues();

    /// Makes the selected title's record and its "Mapping" the working copies.
    void setCurrentMapping();
    int numberOfRowsInTableView() const;
    /// The text of a cell: the input name (left column) or its mapping value (right).
    QString tableViewObjectValue(int column, int row) const;

    /// Stores \a value in the selected row (unless empty or unchanged) and selects the next
    /// row, wrapping to the first. Runs on the UI thread.
    void setMappingValue(const QString &value);
    void keyPress(int keyNumber);
    void joystickButtonPressed(int buttonNumber);
    /// Body of a capture thread: waits for the lock, then for one button or axis push.
    /// With \a discardQueued it first empties SDL's queue of what came while disarmed.
    void pollJoystickEvents(bool discardQueued = false);

    /// Arms the capture for the selected row.
    void tableViewSelectionDidChange();
    void popupItemSelected();
    /// Restores the selected controller's mapping from the shipped "Defaults.plist".
    void resetToDefaults();

    /// The capture thread started last, or null.
    QThread *inputThread() const { return m_inputThread; }

    /// Tests have no joystick: events carrying this device index count as joystick 0's.
    void setJoystickDeviceIndexForTesting(int index) { m_testDeviceIndex = index; }
    /// Tests have no joystick: pretend one of this name was found (empty: none).
    void setJoystickNameForTesting(const QString &name);

protected:
    void setupUi(QWidget *view) override;
    void awakeFromNib() override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    int selectedRow() const;
    void selectRow(int row);
    int joystickDeviceIndex() const;
    /// Hands a captured value to the UI thread and waits until it has been stored.
    void deliverFromCaptureThread(const QString &value);
    void stopCaptureThreads();
    void disarmCapture();
    void rearmCapture();
    /// Joystick capture runs only while the pane is shown in the active window.
    bool joystickCaptureAllowed();
    void storeControllers();
    void updateHint();
    void pictureInputClicked(int row);

    std::unique_ptr<Ui::ControllerPrefsView> m_ui;
    UserDefaults *m_defaults = nullptr;
    EffectiveSettings m_settings;
    QVariantMap m_controllers;
    QVariantMap m_currentController;
    QStringList m_currentMapping;
    QStringList m_mappingList;
    QThread *m_inputThread = nullptr;
    // Every thread started and not yet reaped; a running QThread must not be deleted.
    std::vector<std::unique_ptr<QThread>> m_threads;
    // Held by each capture thread for its whole run, so only one reads SDL's queue; shared
    // by every pane, as they share the one queue.
    static std::mutex &captureLock();
    _SDL_Joystick *m_joy1 = nullptr;
    std::atomic<int> m_testDeviceIndex{-1};
    std::atomic<bool> m_shuttingDown{false};
    // Set when capture is disarmed; the next capture thread drops what was queued meanwhile.
    bool m_discardQueuedEvents = false;

    QPointer<QComboBox> m_popupButton;
    QPointer<InputTableView> m_tableView;
    QPointer<QPushButton> m_resetButton;
    MappingTableModel *m_model = nullptr;
    ControllerPicture *m_picture = nullptr;
    QString m_joystickName;
};
