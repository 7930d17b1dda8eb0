#pragma once

#include <QObject>
#include <QPointer>

class QWidget;
class UserDefaults;

/// Tells the user, in a window, what became of their settings file: that it was refused at
/// start and where it was kept, and that it stopped being readable while the Launcher ran.
class SettingsNotice : public QObject
{
    Q_OBJECT

public:
    /// Shows at once that \a defaults moved its file aside, if it did; messages are
    /// attached to \a window.
    SettingsNotice(UserDefaults *defaults, QWidget *window, QObject *parent = nullptr);

private:
    void show(const QString &title, const QString &text);

    QPointer<QWidget> m_window;
};
