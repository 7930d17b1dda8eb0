#pragma once

#include <QString>

class QCheckBox;
class QComboBox;

/// One-line bindings of a control to a settings key: the stored value is shown without
/// being written back, and every change the user makes is stored at once.
namespace SettingsBinding {

/// Binds the combo box's text (chosen or typed) to a string setting.
void bindText(QComboBox *box, const QString &key);
/// Binds the check box to a boolean setting.
void bindBool(QCheckBox *box, const QString &key);

} // namespace SettingsBinding
