#include "prefs/SettingsBinding.h"

#include "platform/UserDefaults.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QSignalBlocker>

namespace SettingsBinding {

void bindText(QComboBox *box, const QString &key)
{
    {
        const QSignalBlocker blocker(box);
        const QString stored = UserDefaults::standardUserDefaults().valueForKey(key).toString();
        const int index = box->findText(stored);
        if (index >= 0)
            box->setCurrentIndex(index);
        else if (box->isEditable())
            box->setEditText(stored);
        else
            box->setCurrentIndex(-1);
    }
    const auto store = [box, key] { UserDefaults::standardUserDefaults().setValueForKey(key, box->currentText()); };
    if (box->isEditable()) {
        // Typed text is stored when it is finished (Enter, or the focus leaving the field,
        // also when the window is left), not half-typed at every keystroke.
        QObject::connect(box, &QComboBox::activated, box, store);
        QObject::connect(box->lineEdit(), &QLineEdit::editingFinished, box, store);
    } else {
        QObject::connect(box, &QComboBox::currentIndexChanged, box, store);
    }
}

void bindBool(QCheckBox *box, const QString &key)
{
    {
        const QSignalBlocker blocker(box);
        box->setChecked(UserDefaults::standardUserDefaults().boolForKey(key));
    }
    QObject::connect(box, &QCheckBox::toggled, box, [key](bool checked) {
        UserDefaults::standardUserDefaults().setValueForKey(key, checked);
    });
}

} // namespace SettingsBinding
