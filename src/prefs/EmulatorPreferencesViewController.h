#pragma once

#include "settings/EffectiveSettings.h"
#include "platform/NibViewController.h"

#include <QFileDialog>
#include <QPointer>

#include <memory>

class ClickActionTextField;
class QComboBox;

namespace Ui {
class EmulatorPrefsView;
}

/// The "Emulator" pane: the bundled ("Default") or a custom emulator build ("Custom"),
/// stored under "Build", and the custom build's executable under "CustomBuildPath", of the
/// global settings or of one game's.
class EmulatorPreferencesViewController : public NibViewController
{
    Q_OBJECT

public:
    explicit EmulatorPreferencesViewController(QObject *parent = nullptr);
    ~EmulatorPreferencesViewController() override;

    /// Which settings the pane edits; set before the view is loaded.
    void setSettings(const EffectiveSettings &settings) { m_settings = settings; }
    /// Shows the stored values again (after a change made elsewhere).
    void reloadValues();

    QComboBox *buildSelector() const;
    ClickActionTextField *buildPathField() const;
    /// The file chooser while it is open, else null.
    QFileDialog *fileChooser() const { return m_chooser; }

    /// Applies the pop-up's chosen item to the field and stores it under "Build".
    void selectorChanged();
    /// Opens the file chooser for the custom build (without blocking).
    void textFieldSelected(QObject *sender);
    /// Says which default build Play would start, looked up as Play does; the pane does
    /// this each time it is shown, as a build may have been put in place meanwhile.
    void showDefaultBuildInUse();

protected:
    void setupUi(QWidget *view) override;
    void loadView() override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void chooserFinished(int result);

    std::unique_ptr<Ui::EmulatorPrefsView> m_ui;
    QPointer<QFileDialog> m_chooser;
    EffectiveSettings m_settings;
};
