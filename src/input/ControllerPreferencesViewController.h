#pragma once

#include "input/InputTableView.h"
#include "settings/EffectiveSettings.h"
#include "platform/NibViewController.h"

#include <QComboBox>
#include <QHash>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QStringList>
#include <QVariantMap>

#include <memory>

class ControllerPicture;
class MappingTableModel;
class PadCapture;
struct PadPush;
class UserDefaults;

namespace Ui {
class ControllerPrefsView;
}

/// The Controllers pane: a pop-up of controller titles and the mapping table. Selecting a
/// row arms a capture, from the keyboard for "Keyboard" and from any connected pad
/// otherwise (a row a pad moved to waits for its A); each captured value is stored at once under "Controllers" (of the global
/// settings or of one game's) and the next row is selected. "Map from Pad Layout…" fills
/// every row at once from a pad that SDL knows as a game controller.
class ControllerPreferencesViewController : public NibViewController
{
    Q_OBJECT

public:
    explicit ControllerPreferencesViewController(QObject *parent = nullptr);
    ~ControllerPreferencesViewController() override;

    QComboBox *popupButton() const { return m_popupButton; }
    InputTableView *tableView() const { return m_tableView; }
    QPushButton *resetButton() const { return m_resetButton; }
    MappingTableModel *tableModel() const { return m_model; }
    ControllerPicture *picture() const { return m_picture; }
    /// The line under the pop-up that says what a selected row will capture.
    QLabel *hintLabel() const;
    /// The line that names the connected pads.
    QLabel *padsLabel() const;
    QPushButton *layoutButton() const;
    /// "Name in the emulator's file:", the record's "USBName" and the connected pads' names.
    QComboBox *usbNameBox() const;
    /// The stored title of the controller shown (the pop-up shows it for people).
    QString currentTitle() const;
    /// True while a row (or the pad layout) waits for a pad.
    bool isCapturingFromPads() const;

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
    /// row, wrapping to the first.
    void setMappingValue(const QString &value);
    void keyPress(int keyNumber);
    void joystickButtonPressed(int buttonNumber);

    /// Arms the capture for the selected row, unless a pad moved to it.
    void tableViewSelectionDidChange();
    /// Arms the selected row of a pad's controller (Enter, a pad's A, a click on it, as after
    /// its arming ran out).
    void armSelectedRow();
    void popupItemSelected();
    /// Restores the selected controller's mapping from the shipped "Defaults.plist".
    void resetToDefaults();
    /// Waits for a button of the pad whose game-controller layout is to fill every row.
    void mapFromPadLayout();

protected:
    void setupUi(QWidget *view) override;
    void awakeFromNib() override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    int selectedRow() const;
    void selectRow(int row);
    void disarmCapture();
    void rearmCapture();
    /// Pad capture runs only while the pane is shown, enabled, in the active window.
    bool padCaptureAllowed();
    void storeControllers();
    void storeDate();
    void updateHint();
    void updatePads();
    void fillUsbNames();
    void usbNameChosen(int index);
    void padCaptured(const PadPush &push);
    void applyPadLayout(const PadPush &push);
    void pictureInputClicked(int row);

    std::unique_ptr<Ui::ControllerPrefsView> m_ui;
    UserDefaults *m_defaults = nullptr;
    EffectiveSettings m_settings;
    QVariantMap m_controllers;
    QVariantMap m_currentController;
    QStringList m_currentMapping;
    QStringList m_mappingList;
    PadCapture *m_capture = nullptr;
    bool m_layoutMode = false;
    // Said in the hint before what the row waits for: where the last value came from,
    // a pad that went away, a layout that was applied or refused.
    QString m_note;
    // Why a row kept its value when a pad layout filled the others.
    QHash<int, QString> m_rowNotes;

    QPointer<QComboBox> m_popupButton;
    QPointer<InputTableView> m_tableView;
    QPointer<QPushButton> m_resetButton;
    MappingTableModel *m_model = nullptr;
    ControllerPicture *m_picture = nullptr;
};
