#include "app/SettingsNotice.h"

#include "platform/UserDefaults.h"

#include <QDir>
#include <QMessageBox>

SettingsNotice::SettingsNotice(UserDefaults *defaults, QWidget *window, QObject *parent)
    : QObject(parent)
    , m_window(window)
{
    if (!defaults)
        return;
    if (!defaults->movedAsidePath().isEmpty()) {
        show(tr("Settings Not Read"),
             tr("Your settings file could not be read, so the Launcher started with its default settings. "
                "The file was kept as “%1”; your earlier settings are still in it.")
                 .arg(QDir::toNativeSeparators(defaults->movedAsidePath())));
    }
    connect(defaults, &UserDefaults::fileBecameUnreadable, this, [this](const QString &path) {
        show(tr("Settings File Cannot Be Read"),
             tr("Your settings file “%1” cannot be read right now; perhaps it is still being edited. "
                "The Launcher keeps your settings as they were and saves nothing until the file can be read again.")
                 .arg(QDir::toNativeSeparators(path)));
    });
}

void SettingsNotice::show(const QString &title, const QString &text)
{
    // Not modal: nothing waits for the answer.
    auto *box = new QMessageBox(QMessageBox::Warning, title, text, QMessageBox::Ok, m_window);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::NonModal);
    box->show();
}
