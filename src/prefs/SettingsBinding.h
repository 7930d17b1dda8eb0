#pragma once

#include <QString>

class GameSettings;
class QCheckBox;
class QComboBox;

/// One-line bindings of a control to a settings key: the stored value is shown without
/// being written back, and every change the user makes is stored at once.
namespace SettingsBinding {

/// Binds the combo box's text (chosen or typed) to a string setting of \a settings,
/// which must outlive the box.
void bindText(QComboBox *box, const QString &key, const GameSettings *settings);
/// Binds the check box to a boolean setting of \a settings, which must outlive the box.
void bindBool(QCheckBox *box, const QString &key, const GameSettings *settings);
/// Shows the stored value again, without writing it back.
void showText(QComboBox *box, const QString &key, const GameSettings &settings);
void showBool(QCheckBox *box, const QString &key, const GameSettings &settings);

} // namespace SettingsBinding
