#pragma once

#include <QList>
#include <QObject>
#include <QString>

#include <utility>

class QAction;
class QWidget;

/// The main toolbar's icons: the desktop theme's where it has them, otherwise the bundled
/// symbols (or plain ones drawn here) in the palette's text colour, drawn again whenever
/// the window's palette changes, so that they read on a dark toolbar as on a light one.
class ToolbarIcons : public QObject
{
    Q_OBJECT

public:
    /// Gives each action the icon of its theme name (as "media-playback-start"), now and
    /// after each palette change of \a window.
    ToolbarIcons(QWidget *window, QList<std::pair<QAction *, QString>> items);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void apply();

    QWidget *m_window;
    QList<std::pair<QAction *, QString>> m_items;
};
