#pragma once

#include "input/PadKeyMapper.h"
#include "input/PadStopHold.h"

#include <QElapsedTimer>
#include <QInputEvent>
#include <QObject>

#include <functional>

class QInputDevice;
class QKeySequence;
class QTimer;
class QWidget;

/// The pads in the Launcher's windows: while a Launcher window is active and no game runs,
/// their buttons reach the focused widget as the keys PadKeyMapper names, the way typed keys
/// come (the open menu or modal window first; a window's shortcuts before the widget). While
/// a game runs, only the stop combination of Preferences ▸ Controllers acts: held for its
/// time on any pad, stopRequested() is told. Nothing is ever sent to the emulator.
class PadNavigator : public QObject
{
    Q_OBJECT

public:
    /// Starts the pad service and its game-controller reports.
    explicit PadNavigator(QObject *parent = nullptr);
    ~PadNavigator() override;

    /// The device named in every key event a pad makes, so a widget can tell a pad's keys from
    /// typed ones by QInputEvent::device() (a mapping table must not take a pad's Enter as a key).
    static const QInputDevice *keyDevice();
    static bool isFromPad(const QInputEvent *event) { return event->device() == keyDevice(); }

    /// Asked at every pad event: whether the emulator runs.
    void setGameRunning(const std::function<bool()> &running) { m_running = running; }

Q_SIGNALS:
    /// The stop combination was held for its time while the game ran.
    void stopRequested();

private:
    void controllerEvent(const PadEvent &event);
    void timeout();
    void schedule();
    void readRule();
    bool gameRunning() const { return m_running && m_running(); }
    /// The widget a typed key would reach now; null when no Launcher window is active.
    static QWidget *keyTarget();
    static void send(QWidget *target, const PadKeyMapper::Key &key);
    static bool triggerShortcut(QWidget *target, const QKeySequence &sequence);

    PadKeyMapper m_keys;
    PadStopHold m_stop;
    QTimer *m_timer;
    QElapsedTimer m_clock;
    std::function<bool()> m_running;
};
