#include "prefs/SettingsBinding.h"

#include "settings/EffectiveSettings.h"
#include "platform/UserDefaults.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QSignalBlocker>

namespace SettingsBinding {

void showText(QComboBox *box, const QString &key, const EffectiveSettings &settings)
{
    const QString stored = settings.valueForKey(key).toString();
    // Shown already: left alone, so a field being edited keeps its cursor.
    if (box->currentText() == stored && (box->isEditable() || box->currentIndex() >= 0))
        return;
    const QSignalBlocker blocker(box);
    const int index = box->findText(stored);
    if (index >= 0)
        box->setCurrentIndex(index);
    else if (box->isEditable())
        box->setEditText(stored);
    else
        box->setCurrentIndex(-1);
}

void showBool(QCheckBox *box, const QString &key, const EffectiveSettings &settings)
{
    const QSignalBlocker blocker(box);
    box->setChecked(settings.boolForKey(key));
}

void bindText(QComboBox *box, const QString &key, const EffectiveSettings *settings)
{
    showText(box, key, *settings);
    const auto store = [box, key, settings] { settings->setValueForKey(key, box->currentText()); };
    if (box->isEditable()) {
        // Typed text is stored when it is finished (Enter, or the focus leaving the field,
        // also when the window is left), not half-typed at every keystroke.
        QObject::connect(box, &QComboBox::activated, box, store);
        QObject::connect(box->lineEdit(), &QLineEdit::editingFinished, box, store);
    } else {
        QObject::connect(box, &QComboBox::currentIndexChanged, box, store);
    }
}

void bindBool(QCheckBox *box, const QString &key, const EffectiveSettings *settings)
{
    showBool(box, key, *settings);
    QObject::connect(box, &QCheckBox::toggled, box,
                     [key, settings](bool checked) { settings->setValueForKey(key, checked); });
}

void follow(QObject *context, const QStringList &keys, const EffectiveSettings &settings,
            const std::function<void()> &reload)
{
    const bool game = !settings.isGlobal();
    QObject::connect(&UserDefaults::standardUserDefaults(), &UserDefaults::valueChanged, context,
                     [keys, game, reload](const QString &key) {
                         if (keys.contains(key) || (game && key == EffectiveSettings::kGameSettingsKey))
                             reload();
                     });
}

} // namespace SettingsBinding
