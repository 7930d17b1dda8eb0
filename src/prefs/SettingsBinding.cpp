#include "prefs/SettingsBinding.h"

#include "platform/UserDefaults.h"

#include <QCheckBox>
#include <QComboBox>
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
    QObject::connect(box, &QComboBox::currentTextChanged, box, [key](const QString &text) {
        UserDefaults::standardUserDefaults().setValueForKey(key, text);
    });
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
