#pragma once

#include "input/PadEvent.h"
#include "input/PadInfo.h"
#include "input/PadPush.h"

#include <QList>
#include <QObject>

#include <atomic>
#include <optional>
#include <thread>

/// Every pad of the machine, through SDL 2's joystick API, for any number of editors.
/// SDL lives on a thread of the service's own that pumps its events every 20 ms, so
/// neither its set-up nor a slow device ever holds the GUI thread; what it finds reaches
/// the service's signals on the GUI thread. SDL is set up once per process, with no
/// signal handlers and no environment variables of its own, so the emulator inherits none.
class PadService : public QObject
{
    Q_OBJECT

public:
    /// The one service, a child of the application object (which ends its thread).
    static PadService &instance();
    ~PadService() override;

    /// Tests: ignore every pad that is not one of SDL's virtual joysticks, and never ask
    /// udev. Before start() only.
    void setVirtualPadsOnly(bool only) { m_virtualOnly = only; }
    /// Sets SDL up on the service's thread at the first call; pads present then come as
    /// padAdded() like those plugged in later.
    void start();
    /// SDL is set up (or could not be: then no pad ever comes).
    bool isReady() const { return m_ready; }

    QList<PadInfo> pads() const { return m_pads; }
    std::optional<PadInfo> pad(int id) const;

    /// Reports the next button press or axis push of any pad, once, as pushed() with the
    /// number returned. Presses made before (while nothing was armed) are dropped; so are
    /// axis moves that were already queued, and axis moves for half a second after an
    /// axis was taken (the stick may still be held).
    int arm();
    /// Ends \a generation's arming, unless a newer one has taken its place.
    void disarm(int generation);
    /// A capture is waiting for a push, or the push that answered it is still held: the pads
    /// then belong to it.
    bool isArmed() const { return m_armed != 0; }
    /// From now on, reports the buttons and the left stick of every pad that SDL knows as a
    /// game controller as controllerEvent(), in SDL's game-controller meaning.
    void watchControllers() { m_watchControllers = true; }

Q_SIGNALS:
    void padAdded(const PadInfo &pad);
    void padRemoved(const PadInfo &pad);
    void pushed(const PadPush &push);
    /// A button or left-stick change of a game controller, once watchControllers() was called;
    /// the stick's moves are taken together every pump, so only its last position comes.
    void controllerEvent(const PadEvent &event);

private:
    PadService();
    void run();
    void addPad(const PadInfo &pad);
    void removePad(int id);

    std::thread m_thread;
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_virtualOnly{false};
    std::atomic<int> m_armed{0};
    std::atomic<bool> m_watchControllers{false};
    int m_lastGeneration = 0;
    bool m_ready = false;
    QList<PadInfo> m_pads;
};
