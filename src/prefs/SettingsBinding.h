#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class EffectiveSettings;
class QCheckBox;
class QComboBox;
class QObject;

/// One-line bindings of a control to a settings key: the stored value is shown without
/// being written back, and every change the user makes is stored at once.
namespace SettingsBinding {

/// Binds the combo box's text (chosen or typed) to a string setting of \a settings,
/// which must outlive the box.
void bindText(QComboBox *box, const QString &key, const EffectiveSettings *settings);
/// Binds the check box to a boolean setting of \a settings, which must outlive the box.
void bindBool(QCheckBox *box, const QString &key, const EffectiveSettings *settings);
/// Shows the stored value again, without writing it back.
void showText(QComboBox *box, const QString &key, const EffectiveSettings &settings);
void showBool(QCheckBox *box, const QString &key, const EffectiveSettings &settings);
/// Calls \a reload whenever the store changes one of \a keys, or "GameSettings" for a game's
/// settings (its own values live there), as long as \a context lives.
void follow(QObject *context, const QStringList &keys, const EffectiveSettings &settings,
            const std::function<void()> &reload);

} // namespace SettingsBinding
