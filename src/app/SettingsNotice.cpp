#include "app/SettingsNotice.h"

#include "platform/UserDefaults.h"

#include <QDir>
#include <QMessageBox>

#include <cerrno>

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
    } else if (defaults->isFileUnreadable()) {
        // Neither read nor moved aside (a read-only folder): left alone, and said.
        showUnreadable(defaults->filePath());
    }
    connect(defaults, &UserDefaults::fileBecameUnreadable, this, &SettingsNotice::showUnreadable);
    connect(defaults, &UserDefaults::fileReadableAgain, this, [this]() {
        if (m_unreadable)
            m_unreadable->close();
    });
    connect(defaults, &UserDefaults::fileNotWritten, this, [this](const QString &path, int error, const QString &reason) {
        if (error == ENOSPC || error == EDQUOT) {
            show(tr("Settings Not Saved"),
                 tr("The disk holding your settings is full; your change is kept until the Launcher quits."));
            return;
        }
        show(tr("Settings Not Saved"),
             tr("Your settings cannot be saved in “%1”: %2. Your changes are kept until the Launcher quits.")
                 .arg(QDir::toNativeSeparators(path), reason));
    });
}

QString SettingsNotice::refusalForCommandLine()
{
    UserDefaults::setStandardUnreadableFile(UserDefaults::UnreadableFile::KeepInPlace);
    const UserDefaults &defaults = UserDefaults::standardUserDefaults();
    if (!defaults.isFileUnreadable())
        return QString();
    return tr("Your settings file “%1” cannot be read, so the game was not started: it would have run without "
              "your settings. Correct the file, or start the Launcher, which keeps the file aside and starts on "
              "its default settings.")
        .arg(QDir::toNativeSeparators(defaults.filePath()));
}

void SettingsNotice::showUnreadable(const QString &path)
{
    m_unreadable = show(tr("Settings File Cannot Be Read"),
                        tr("Your settings file “%1” cannot be read right now; perhaps it is still being edited. "
                           "The Launcher keeps your settings as they were and saves nothing until the file can be "
                           "read again.")
                            .arg(QDir::toNativeSeparators(path)));
}

QMessageBox *SettingsNotice::show(const QString &title, const QString &text)
{
    // Not modal: nothing waits for the answer.
    auto *box = new QMessageBox(QMessageBox::Warning, title, text, QMessageBox::Ok, m_window);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::NonModal);
    box->show();
    return box;
}
