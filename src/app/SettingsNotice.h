#pragma once

#include <QObject>
#include <QPointer>

class QMessageBox;
class QWidget;
class UserDefaults;

/// Tells the user, in a window, what became of their settings file: that it was refused at
/// start and where it was kept, that it stopped being readable while the Launcher ran, and
/// that changes could not be saved (a full disk, a read-only folder). Each once.
class SettingsNotice : public QObject
{
    Q_OBJECT

public:
    /// Shows at once that \a defaults moved its file aside, if it did; messages are
    /// attached to \a window.
    SettingsNotice(UserDefaults *defaults, QWidget *window, QObject *parent = nullptr);

    /// For `--play`, before the shared store is first used: the store then leaves a file it
    /// cannot read where it is, writing nothing, for the windowed Launcher to set aside and
    /// tell. Returns why the game must not start (a sentence for standard error), or nothing
    /// when the settings read.
    static QString refusalForCommandLine();

private:
    QMessageBox *show(const QString &title, const QString &text);
    void showUnreadable(const QString &path);

    QPointer<QWidget> m_window;
    // Closed once the file reads again.
    QPointer<QMessageBox> m_unreadable;
};
