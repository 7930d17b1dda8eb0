#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

class QWidget;

/// A controller of one top-level window, loaded lazily from its form the first time
/// window() is asked for; loading calls awakeFromNib() and then windowDidLoad().
///
/// Closing the window asks windowShouldClose() first, which may refuse.
class NibWindowController : public QObject
{
    Q_OBJECT

public:
    explicit NibWindowController(const QString &windowNibName, QObject *parent = nullptr);
    ~NibWindowController() override;

    QString windowNibName() const { return m_windowNibName; }
    /// The window, loaded at the first request.
    QWidget *window();
    bool isWindowLoaded() const { return !m_window.isNull(); }

    /// Loads the window if needed, then shows it in front with the keyboard focus.
    virtual void showWindow(QObject *sender);

protected:
    /// Makes the top-level window and applies its form; called once.
    virtual QWidget *createWindow() = 0;
    virtual void awakeFromNib() {}
    virtual void windowDidLoad() {}
    /// Asked when the window is about to close; false keeps it open.
    virtual bool windowShouldClose(QWidget *window);

    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QString m_windowNibName;
    QPointer<QWidget> m_window;
};
