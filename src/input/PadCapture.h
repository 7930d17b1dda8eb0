#pragma once

#include "input/PadInfo.h"
#include "input/PadPush.h"

#include <QObject>

class QTimer;

/// One editor's capture from pads: armed, it takes the first button press or axis push of
/// any connected pad (through PadService), once; cancelled, it takes nothing. Presses made
/// while it is not armed are dropped, not kept for later. An arming that gets no push within
/// its patience ends by itself, so a player with only a pad is never left without one.
class PadCapture : public QObject
{
    Q_OBJECT

public:
    static constexpr int kPatienceMs = 5000;

    /// Starts the pad service, so the pads are known by the time one is armed.
    explicit PadCapture(QObject *parent = nullptr);
    ~PadCapture() override;

    void arm();
    void cancel();
    bool isArmed() const { return m_generation != 0; }

Q_SIGNALS:
    /// The push that answered the arming; the capture is no longer armed.
    void captured(const PadPush &push);
    /// A pad went away while armed; the capture stays armed for the others.
    void padLost(const PadInfo &pad);
    /// No push came within the patience; the capture is no longer armed.
    void expired();

private:
    int m_generation = 0;
    QTimer *m_patience;
};
